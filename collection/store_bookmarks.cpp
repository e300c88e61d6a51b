// Handing bookmarks read from browsers' stores to the collection, and the
// conversions every store reader needs: dates and stray bytes in texts.
#include "collection/store_bookmarks.h"

#include "collection/bookmark_source.h"
#include "collection/import_report.h"
#include "core/bookmark.h"
#include "core/utf8.h"

namespace {

const int64_t kMicroseconds = 1000000;
// Seconds from 1601-01-01 to 1970-01-01, both UTC.
const int64_t kWindowsEpochOffset = 11644473600;

uint32_t date_of_seconds(int64_t seconds) {
    return seconds > 0 && seconds < static_cast<int64_t>(DATE_CHECKING) ? static_cast<uint32_t>(seconds) : DATE_UNSET;
}

}  // namespace

uint32_t date_of_unix_microseconds(int64_t microseconds) { return date_of_seconds(microseconds / kMicroseconds); }

uint32_t date_of_windows_microseconds(int64_t microseconds) {
    return microseconds <= 0 ? DATE_UNSET : date_of_seconds(microseconds / kMicroseconds - kWindowsEpochOffset);
}

std::string repaired_utf8(const std::string& text) {
    if (is_valid_utf8(text.data(), text.size())) return text;
    std::string repaired;
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end) {
        uint32_t code_point;
        size_t length = *p ? utf8_decode(p, &code_point) : 1;
        if (length == 0) {
            repaired += "\xEF\xBF\xBD";
            p++;
        } else {
            repaired.append(p, length);
            p += length;
        }
    }
    return repaired;
}

void add_store_bookmarks(BookmarkSink* sink, const StoreRead& store) {
    std::string tags;
    std::vector<TextBuffer> folders;
    for (const StoreBookmark& b : store.bookmarks) {
        tags.clear();
        for (const std::string& keyword : b.keywords) {
            if (!tags.empty()) tags += ' ';
            tags += repaired_utf8(keyword);
        }
        while (folders.size() < b.folders.size()) folders.push_back(tb_empty());
        for (size_t i = 0; i < b.folders.size(); i++) tb_assign(&folders[i], repaired_utf8(b.folders[i]).c_str());
        const std::string title = repaired_utf8(b.title);
        const std::string url = repaired_utf8(b.url);
        SourceBookmark bookmark = empty_source_bookmark();
        bookmark.url = url.c_str();
        bookmark.title = title.c_str();
        bookmark.tags = tags.c_str();
        bookmark.folders = folders.data();
        bookmark.folder_count = static_cast<uint32_t>(b.folders.size());
        bookmark.added = b.added;
        bookmark.last_visit = b.last_visit;
        if (take_bookmark(sink, bookmark) != ADD_SKIPPED || !sink->report) continue;
        std::string where;
        for (size_t i = 0; i < b.folders.size(); i++) where.append(tb_text(folders[i])).append("/");
        where += title;
        note_skipped(sink->report, where.c_str(), IMPORT_NO_ADDRESS);
    }
    for (TextBuffer& folder : folders) tb_free(&folder);
}
