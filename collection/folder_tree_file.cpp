// Writing bookmarks in nested folders: the records sorted by folder path, and
// the headings opened and closed where one record's path leaves the last one's.
#include "collection/folder_tree_file.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "collection/collection_file.h"
#include "collection/folder_path.h"
#include "core/bookmark.h"
#include "core/whole_file.h"

namespace {

const char kFolderTreeHeader[] =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
    "<!-- This is an automatically generated file.\r\n"
    "     It will be read and overwritten.\r\n"
    "     DO NOT EDIT! -->\r\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
    "<TITLE>Bookmarks</TITLE>\r\n"
    "<H1>Bookmarks</H1>\r\n"
    "<DL><p>\r\n";

void indent(TextBuffer* tb, size_t depth) {
    for (size_t i = 0; i < depth; i++) tb_append_str(tb, "    ");
}

std::vector<std::string> folder_names(const char* path) {
    std::vector<std::string> names;
    TextBuffer name = tb_empty();
    for (const char* at = path; at;) {
        at = next_folder_name(at, &name);
        names.emplace_back(tb_text(name), tb_length(name));
    }
    tb_free(&name);
    return names;
}

}  // namespace

char* build_folder_tree_text(const PtrVector* records) {
    std::vector<const Bookmark*> sorted;
    for (uint32_t i = 0; i < records->count; i++) sorted.push_back(static_cast<const Bookmark*>(records->items[i]));
    std::stable_sort(sorted.begin(), sorted.end(), [](const Bookmark* a, const Bookmark* b) {
        return compare_folder_paths(a->folder, b->folder) < 0;
    });
    TextBuffer tb = tb_empty();
    tb_append_str(&tb, kFolderTreeHeader);
    std::vector<std::string> open;  // the folders the last entry stood in
    for (const Bookmark* record : sorted) {
        const std::vector<std::string> names =
            record->folder ? folder_names(record->folder) : std::vector<std::string>();
        size_t kept = 0;
        while (kept < open.size() && kept < names.size() && open[kept] == names[kept]) kept++;
        for (; open.size() > kept; open.pop_back()) {
            indent(&tb, open.size());
            tb_append_str(&tb, "</DL><p>\r\n");
        }
        for (; open.size() < names.size(); open.push_back(names[open.size()])) {
            indent(&tb, open.size() + 1);
            tb_append_str(&tb, "<DT><H3>");
            append_title_text(&tb, names[open.size()].c_str());
            tb_append_str(&tb, "</H3>\r\n");
            indent(&tb, open.size() + 1);
            tb_append_str(&tb, "<DL><p>\r\n");
        }
        indent(&tb, open.size() + 1);
        append_collection_entry(&tb, record);
    }
    for (; !open.empty(); open.pop_back()) {
        indent(&tb, open.size());
        tb_append_str(&tb, "</DL><p>\r\n");
    }
    tb_append_str(&tb, "</DL><p>\r\n");
    return tb_take(&tb);
}

bool write_folder_tree_file(const PtrVector* records, const char* path) {
    char* text = build_folder_tree_text(records);
    const bool written = write_whole_file(path, text);
    free(text);
    return written;
}
