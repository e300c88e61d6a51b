// Reading the formats browsers and the shell hand links over in, through the
// data object of a drop or of the clipboard.
#include "app/transferred_links.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/collection_files.h"
#include "app/import_reports.h"
#include "app/status_text.h"
#include "collection/bookmark_source.h"
#include "collection/collection.h"
#include "collection/dropped_links.h"
#include "collection/favorites_import.h"
#include "collection/import_report.h"
#include "collection/internet_shortcut.h"
#include "core/ansi_text.h"
#include "core/utf8.h"
#include "platform/handles.h"

namespace {

// More text than any link list needs; a larger block is read this far.
const size_t kTextLimit = 16 << 20;

// What a data object brings: links, or the paths of files.
struct Transfer {
    std::vector<DroppedLink> links;
    std::vector<std::string> files;
};

CLIPFORMAT format_named(const char* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)); }

// The bytes of a format (of its index-th item), at most `limit` of them.
bool data_bytes(IDataObject* data, CLIPFORMAT format, LONG index, size_t limit, std::string* bytes) {
    FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, index, TYMED_HGLOBAL | TYMED_ISTREAM};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&wanted, &medium))) return false;
    bool got = false;
    bytes->clear();
    if (medium.tymed == TYMED_HGLOBAL) {
        const char* memory = static_cast<const char*>(GlobalLock(medium.hGlobal));
        if (memory) {
            bytes->assign(memory, std::min<size_t>(GlobalSize(medium.hGlobal), limit));
            GlobalUnlock(medium.hGlobal);
            got = true;
        }
    } else if (medium.tymed == TYMED_ISTREAM) {
        char buffer[4096];
        ULONG read = 0;
        while (bytes->size() < limit && SUCCEEDED(medium.pstm->Read(buffer, sizeof buffer, &read)) && read > 0) {
            bytes->append(buffer, std::min<size_t>(read, limit - bytes->size()));
        }
        got = true;
    }
    ReleaseStgMedium(&medium);
    return got;
}

std::string utf16_data(IDataObject* data, CLIPFORMAT format) {
    std::string bytes;
    return data_bytes(data, format, -1, kTextLimit, &bytes) ? utf8_from_utf16le(bytes.data(), bytes.size())
                                                            : std::string();
}

std::vector<DroppedLink> moz_url_data(IDataObject* data) {
    return moz_url_links(utf16_data(data, format_named("text/x-moz-url")));
}

std::vector<DroppedLink> html_data(IDataObject* data) {
    std::string bytes;
    if (!data_bytes(data, format_named("HTML Format"), -1, kTextLimit, &bytes)) return {};
    return html_format_links(bytes.data(), bytes.size());
}

// The Internet Shortcuts a browser describes for a dragged link, read from
// their contents.
std::vector<DroppedLink> shortcut_data(IDataObject* data) {
    std::string group;
    std::vector<DroppedLink> links;
    if (!data_bytes(data, format_named("FileGroupDescriptorW"), -1, kTextLimit, &group)) return links;
    UINT count = 0;
    if (group.size() < sizeof count) return links;
    memcpy(&count, group.data(), sizeof count);
    const size_t first = offsetof(FILEGROUPDESCRIPTORW, fgd);
    count = static_cast<UINT>(
        std::min<size_t>(count, (group.size() - std::min(group.size(), first)) / sizeof(FILEDESCRIPTORW)));
    for (UINT i = 0; i < count; i++) {
        FILEDESCRIPTORW file;
        memcpy(&file, group.data() + first + i * sizeof file, sizeof file);
        const std::string name = utf8_from_utf16le(file.cFileName, sizeof file.cFileName);
        // The clipboard keeps one FileContents, without index.
        const CLIPFORMAT contents = format_named("FileContents");
        std::string text;
        DroppedLink link;
        if (is_shortcut_file_name(name.c_str()) &&
            (data_bytes(data, contents, static_cast<LONG>(i), SHORTCUT_READ_LIMIT, &text) ||
             (count == 1 && data_bytes(data, contents, -1, SHORTCUT_READ_LIMIT, &text))) &&
            internet_shortcut_link(name.c_str(), text.c_str(), &link)) {
            links.push_back(link);
        }
    }
    return links;
}

// A single URL with no title, in UTF-16 or the ANSI code page.
std::vector<DroppedLink> url_data(IDataObject* data) {
    std::string url = utf16_data(data, format_named("UniformResourceLocatorW"));
    std::string ansi;
    if (url.empty() && data_bytes(data, format_named("UniformResourceLocator"), -1, kTextLimit, &ansi)) {
        ansi.resize(strnlen(ansi.c_str(), ansi.size()));
        char* converted = utf8_or_converted(ansi.c_str(), ansi.size());
        url = converted ? converted : ansi;
        free(converted);
    }
    url = url.substr(0, url.find_first_of("\r\n"));
    if (url.find_first_not_of(" \t") == std::string::npos) return {};
    return {{url, std::string()}};
}

std::vector<DroppedLink> plain_text_data(IDataObject* data) {
    return plain_text_links(utf16_data(data, CF_UNICODETEXT));
}

bool ends_with_nocase(const std::string& text, const char* ending) {
    const size_t length = strlen(ending);
    return text.size() >= length && str_compare_nocase(text.c_str() + text.size() - length, ending) == 0;
}

bool is_bookmark_file(const std::string& path) {
    return ends_with_nocase(path, ".htm") || ends_with_nocase(path, ".html");
}

// Files dragged from the shell, when one of them is a shortcut or a bookmark file.
std::vector<std::string> file_data(IDataObject* data) {
    FORMATETC wanted = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    std::vector<std::string> files;
    if (FAILED(data->GetData(&wanted, &medium))) return files;
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    bool useful = false;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; i++) {
        char path[MAX_PATH];
        if (!DragQueryFileA(drop, i, path, MAX_PATH)) continue;
        files.push_back(path);
        useful = useful || is_shortcut_file_name(path) || is_bookmark_file(path);
    }
    ReleaseStgMedium(&medium);
    if (!useful) files.clear();
    return files;
}

// The richest form the data holds: links with titles first, bare URLs and
// lines of text last.
Transfer read_transfer(IDataObject* data) {
    Transfer transfer;
    for (auto reader : {moz_url_data, html_data}) {
        transfer.links = reader(data);
        if (!transfer.links.empty()) return transfer;
    }
    // A shortcut dragged from the shell may offer its URL too, but not its title.
    transfer.files = file_data(data);
    if (!transfer.files.empty()) return transfer;
    for (auto reader : {shortcut_data, url_data, plain_text_data}) {
        transfer.links = reader(data);
        if (!transfer.links.empty()) return transfer;
    }
    return transfer;
}

void show_status(const char* lead, const std::string& url) {
    char* tidied = tidy_url(str_dup(url.c_str()));
    set_status_text((std::string(lead) + tidied).c_str(), 8000);
    free(tidied);
}

void take_link_list(const std::vector<DroppedLink>& links, ImportReport* report) {
    BookmarkSink sink = open_bookmark_sink(&app_state->collection, true, report);
    take_dropped_links(&sink, links);
    close_bookmark_sink(&sink);
    // One link tells of itself as Fast Add does; more give the counts.
    if (links.size() == 1 && report->skipped == 0) {
        show_status(report->added ? "Linkstone added: " : "Linkstone already exists: ", links[0].url);
    } else {
        show_import_counts();
    }
}

// As the Import commands do: shortcuts first, in one batch, then each
// bookmark file with its own progress.
void take_files(const std::vector<std::string>& files, ImportReport* report) {
    BookmarkSink sink = open_bookmark_sink(&app_state->collection, true, report);
    for (const std::string& path : files) {
        const char* name = path.c_str() + path.find_last_of("\\/") + 1;
        if (is_shortcut_file_name(path.c_str())) {
            import_shortcut_file(&sink, path.c_str(), name);
        } else if (!is_bookmark_file(path)) {
            note_skipped(report, name, "not a bookmark file");
        }
    }
    close_bookmark_sink(&sink);
    for (const std::string& path : files) {
        if (is_bookmark_file(path)) read_bookmark_file_shown(path.c_str(), true, report);
    }
    show_import_counts();
}

UniqueCom<IDataObject> clipboard_data() {
    IDataObject* data = nullptr;
    if (FAILED(OleGetClipboard(&data))) data = nullptr;
    return UniqueCom<IDataObject>(data);
}

}  // namespace

bool holds_links(IDataObject* data) {
    const Transfer transfer = read_transfer(data);
    return !transfer.links.empty() || !transfer.files.empty();
}

void take_links(IDataObject* data) {
    const Transfer transfer = read_transfer(data);
    if (transfer.links.empty() && transfer.files.empty()) return;
    ImportReport* report = begin_import_report();
    if (!transfer.links.empty()) {
        take_link_list(transfer.links, report);
    } else {
        take_files(transfer.files, report);
    }
    app_state->filter_dirty = 1;
}

bool clipboard_holds_links() {
    UniqueCom<IDataObject> data = clipboard_data();
    return data && holds_links(data.get());
}

void paste_links() {
    UniqueCom<IDataObject> data = clipboard_data();
    if (data) take_links(data.get());
}

bool clipboard_link(char** url, char** title) {
    UniqueCom<IDataObject> data = clipboard_data();
    if (!data) return false;
    const Transfer transfer = read_transfer(data.get());
    if (transfer.links.empty()) return false;
    const DroppedLink& link = transfer.links[0];
    *url = tidy_url(str_dup(link.url.c_str()));  // looked up as stored
    *title = link.title.empty() ? nullptr : str_dup(link.title.c_str());
    return true;
}
