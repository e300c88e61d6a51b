// Reading a Chromium `Bookmarks` file with RapidJSON into store records.
#include "collection/chromium_bookmarks.h"

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "core/bookmark.h"
#include "core/whole_file.h"
#include "rapidjson/document.h"
#include "rapidjson/error/en.h"

namespace {

using rapidjson::Value;

// Where the mobile bookmarks are is "synced", for historical reasons.
const char* const kRoots[] = {"bookmark_bar", "other", "synced"};

// Files carry one of these in their first few hundred bytes; a look that far
// tells them from Netscape files and databases without parsing.
const size_t kSniffLength = 4096;

std::string string_member(const Value& node, const char* name) {
    auto member = node.FindMember(name);
    if (member == node.MemberEnd() || !member->value.IsString()) return std::string();
    return std::string(member->value.GetString(), member->value.GetStringLength());
}

// Dates are decimal strings of microseconds; numbers are taken too.
int64_t microseconds_member(const Value& node, const char* name) {
    auto member = node.FindMember(name);
    if (member == node.MemberEnd()) return 0;
    const Value& v = member->value;
    if (v.IsInt64()) return v.GetInt64();
    if (!v.IsString()) return 0;
    const char* p = v.GetString();
    int64_t value = 0;
    for (unsigned digits = 0; *p >= '0' && *p <= '9'; p++) {
        if (++digits > 18) return 0;  // beyond any date
        value = value * 10 + (*p - '0');
    }
    return *p ? 0 : value;
}

const Value* children_of(const Value& node) {
    auto member = node.FindMember("children");
    return member != node.MemberEnd() && member->value.IsArray() ? &member->value : nullptr;
}

// Walks one root's tree depth first without recursion: files nest as deep as
// anyone likes. `path` holds the enclosing folders' names of the node taken.
void read_root(const Value& root, StoreRead* read) {
    std::vector<std::pair<const Value*, size_t>> stack;  // node, its depth below the root
    std::vector<std::string> path;
    const Value* top = children_of(root);
    if (!top) return;
    for (auto child = top->End(); child != top->Begin();) stack.emplace_back(&*--child, 0);
    while (!stack.empty()) {
        const Value& node = *stack.back().first;
        const size_t depth = stack.back().second;
        stack.pop_back();
        if (!node.IsObject()) continue;
        path.resize(depth < STORE_FOLDER_DEPTH ? depth : STORE_FOLDER_DEPTH);
        if (const Value* children = children_of(node)) {
            if (path.size() < STORE_FOLDER_DEPTH) path.push_back(string_member(node, "name"));
            for (auto child = children->End(); child != children->Begin();) stack.emplace_back(&*--child, depth + 1);
            continue;
        }
        if (string_member(node, "type") != "url") continue;
        StoreBookmark b;
        b.url = string_member(node, "url");
        b.title = string_member(node, "name");
        b.folders = path;
        b.added = date_of_windows_microseconds(microseconds_member(node, "date_added"));
        b.last_visit = date_of_windows_microseconds(microseconds_member(node, "date_last_used"));
        read->bookmarks.push_back(std::move(b));
    }
}

}  // namespace

bool is_chromium_bookmarks_text(const char* text, size_t length) {
    size_t i = 0;
    if (length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) i = 3;
    while (i < length && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) i++;
    if (i >= length || text[i] != '{') return false;
    const std::string start(text, length < kSniffLength ? length : kSniffLength);
    return start.find("\"roots\"") != std::string::npos;
}

StoreRead read_chromium_bookmarks(const char* text, size_t length) {
    StoreRead read;
    rapidjson::Document document;
    // Iterative: a nesting of any depth costs heap, not stack. Without
    // kParseValidateEncodingFlag stray bytes in titles are kept.
    document.Parse<rapidjson::kParseDefaultFlags | rapidjson::kParseIterativeFlag>(text, length);
    if (document.HasParseError()) {
        std::string why = rapidjson::GetParseError_En(document.GetParseError());
        if (!why.empty() && why.back() == '.') why.pop_back();
        read.failure = "not a bookmarks file: " + why + " (byte " + std::to_string(document.GetErrorOffset()) + ")";
        return read;
    }
    const Value* roots = nullptr;
    if (document.IsObject()) {
        auto member = document.FindMember("roots");
        if (member != document.MemberEnd() && member->value.IsObject()) roots = &member->value;
    }
    if (!roots) {
        read.failure = "not a bookmarks file (no roots)";
        return read;
    }
    for (const char* name : kRoots) {
        auto root = roots->FindMember(name);
        if (root != roots->MemberEnd() && root->value.IsObject()) read_root(root->value, &read);
    }
    return read;
}

StoreRead read_chromium_bookmarks_file(const char* path) {
    char* text;
    uint32_t size;
    if (!read_whole_file(path, &text, &size) || size == 0) {
        free(text);
        StoreRead read;
        read.failure = "the file cannot be read";
        return read;
    }
    StoreRead read = read_chromium_bookmarks(text, size);
    free(text);
    return read;
}
