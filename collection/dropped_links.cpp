// Reading links out of the forms other programs hand them over in.
#include "collection/dropped_links.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "collection/bookmark_source.h"
#include "collection/collection.h"
#include "collection/html_references.h"
#include "collection/import_report.h"
#include "collection/internet_shortcut.h"
#include "core/containers.h"

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string trimmed(const char* start, const char* end) {
    while (start < end && is_space(*start)) start++;
    while (end > start && is_space(end[-1])) end--;
    return std::string(start, end);
}

// The text's lines, without their line breaks and blanks at their ends.
std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    const char* line = text.c_str();
    const char* end = line + text.size();
    while (line < end) {
        const char* newline = static_cast<const char*>(memchr(line, '\n', static_cast<size_t>(end - line)));
        const char* stop = newline ? newline : end;
        lines.push_back(trimmed(line, stop));
        line = stop + 1;
    }
    return lines;
}

// The length of the scheme and its colon at the text's start ("https:" is
// 6), or 0. One letter before a colon is a drive ("C:\..."), not a scheme.
size_t scheme_length(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (is_ascii_letter(text[i]) || (i > 0 && (isdigit(static_cast<unsigned char>(text[i])) ||
                                                                      strchr("+-.", text[i]) != nullptr)))) {
        i++;
    }
    return i >= 2 && i < text.size() && text[i] == ':' ? i + 1 : 0;
}

bool starts_with_nocase(const char* text, const char* prefix) {
    for (; *prefix; text++, prefix++) {
        if (fold_ascii(*text) != *prefix) return false;
    }
    return true;
}

// The value of a numeric header line "Name:123" in the HTML format's header,
// or -1 when the header has none that fits the data's size.
long header_offset(const std::string& header, const char* name, size_t size) {
    const size_t at = header.find(name);
    if (at == std::string::npos) return -1;
    long value = 0;
    const char* digit = header.c_str() + at + strlen(name);
    if (!isdigit(static_cast<unsigned char>(*digit))) return -1;
    for (; isdigit(static_cast<unsigned char>(*digit)); digit++) {
        value = value * 10 + (*digit - '0');
        if (static_cast<size_t>(value) > size) return -1;
    }
    return value;
}

// Where the HTML format's header ends: at its first line that is not "Name:value".
size_t header_end(const char* data, size_t size) {
    size_t at = 0;
    while (at < size && data[at] != '<') {
        const char* newline = static_cast<const char*>(memchr(data + at, '\n', size - at));
        if (!newline || !memchr(data + at, ':', static_cast<size_t>(newline - data) - at)) break;
        at = static_cast<size_t>(newline - data) + 1;
    }
    return at;
}

// Text with its character references decoded.
std::string decoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        char character[4];
        size_t length = 0;
        const size_t used = text[i] == '&' ? decode_reference(text.c_str() + i, character, &length) : 0;
        if (used == 0) {
            out += text[i];
            continue;
        }
        out.append(character, length);
        i += used - 1;
    }
    return out;
}

// The HREF value of the start tag from `tag` (after "<a") to `end` (its ">"),
// in double, single or no quotes; false when it has none.
bool href_of(const char* tag, const char* end, std::string* href) {
    for (const char* p = tag; p < end;) {
        while (p < end && is_space(*p)) p++;
        const char* name = p;
        while (p < end && !is_space(*p) && *p != '=') p++;
        const bool is_href = p - name == 4 && starts_with_nocase(name, "href");
        while (p < end && is_space(*p)) p++;
        if (p >= end || *p != '=') continue;
        p++;
        while (p < end && is_space(*p)) p++;
        const char quote = p < end && (*p == '"' || *p == '\'') ? *p : '\0';
        if (quote) p++;
        const char* value = p;
        while (p < end && (quote ? *p != quote : !is_space(*p))) p++;
        if (is_href) {
            *href = decoded(trimmed(value, p));
            return true;
        }
        if (quote && p < end) p++;
    }
    return false;
}

// The end of the tag that begins at `tag` ("<"): its ">", outside quotes; or
// the end of the text.
const char* tag_end(const char* tag, const char* end) {
    char quote = '\0';
    for (const char* p = tag; p < end; p++) {
        if (quote) {
            if (*p == quote) quote = '\0';
        } else if (*p == '"' || *p == '\'') {
            quote = *p;
        } else if (*p == '>') {
            return p;
        }
    }
    return end;
}

// An anchor's text: tags left out, references decoded, white space runs made
// single blanks.
std::string anchor_text(const char* start, const char* end) {
    std::string text;
    for (const char* p = start; p < end; p++) {
        if (*p == '<') {
            p = tag_end(p, end);
            text += ' ';
        } else {
            text += is_space(*p) ? ' ' : *p;
        }
    }
    std::string words;
    for (char c : decoded(text)) {
        if (c == ' ' && (words.empty() || words.back() == ' ')) continue;
        words += c;
    }
    if (!words.empty() && words.back() == ' ') words.pop_back();
    return words;
}

// The address a link of the page at `base` means: itself when it has a
// scheme, else resolved against the base; empty when it cannot be.
std::string resolved(const std::string& href, const std::string& base) {
    if (scheme_length(href) > 0) return href;
    const size_t scheme = scheme_length(base);
    if (href.empty() || href[0] == '#' || scheme == 0) return std::string();
    if (href.compare(0, 2, "//") == 0) return base.substr(0, scheme) + href;
    // The base's authority ends at the first "/", "?" or "#" after "scheme://".
    size_t path = scheme;
    if (base.compare(scheme, 2, "//") == 0) path = base.find_first_of("/?#", scheme + 2);
    if (path == std::string::npos) path = base.size();
    if (href[0] == '/') return base.substr(0, path) + href;
    const size_t query = std::min(base.find_first_of("?#", path), base.size());
    if (href[0] == '?') return base.substr(0, query) + href;
    const size_t slash = base.rfind('/', query == 0 ? 0 : query - 1);
    const size_t directory = slash == std::string::npos || slash < path ? query : slash + 1;
    return base.substr(0, directory) + (directory == path ? "/" : "") + href;
}

}  // namespace

std::vector<DroppedLink> moz_url_links(const std::string& text) {
    std::vector<DroppedLink> links;
    const std::vector<std::string> lines = lines_of(text);
    for (size_t i = 0; i < lines.size(); i += 2) {
        if (lines[i].empty()) continue;
        links.push_back({lines[i], i + 1 < lines.size() ? lines[i + 1] : std::string()});
    }
    return links;
}

std::vector<DroppedLink> html_format_links(const char* data, size_t size) {
    // Some programs count a terminating zero in the size; nothing after one is read.
    const void* zero = memchr(data, '\0', size);
    if (zero) size = static_cast<size_t>(static_cast<const char*>(zero) - data);
    const size_t body = header_end(data, size);
    const std::string header(data, body);
    long start = header_offset(header, "StartFragment:", size);
    long end = header_offset(header, "EndFragment:", size);
    if (start < 0 || end < start) {
        start = header_offset(header, "StartHTML:", size);
        end = header_offset(header, "EndHTML:", size);
    }
    if (start < 0 || end < start) {
        start = static_cast<long>(body);
        end = static_cast<long>(size);
    }
    std::string base;
    const size_t source = header.find("SourceURL:");
    if (source != std::string::npos) {
        const char* value = header.c_str() + source + strlen("SourceURL:");
        base = trimmed(value, value + strcspn(value, "\r\n"));
    }

    const std::string html(data + start, static_cast<size_t>(end - start));
    const char* text = html.c_str();
    const char* stop = text + html.size();
    std::vector<DroppedLink> links;
    for (const char* p = text; (p = static_cast<const char*>(memchr(p, '<', static_cast<size_t>(stop - p))));) {
        const char* close = tag_end(p, stop);
        std::string href;
        if (!(stop - p > 2 && fold_ascii(p[1]) == 'a' && is_space(p[2]) && href_of(p + 2, close, &href))) {
            p++;
            continue;
        }
        const char* inner = close < stop ? close + 1 : stop;
        const char* after = inner;
        while (after < stop && !(*after == '<' && starts_with_nocase(after, "</a"))) after++;
        const std::string url = resolved(href, base);
        if (!url.empty()) links.push_back({url, anchor_text(inner, after)});
        p = after;
    }
    return links;
}

std::vector<DroppedLink> plain_text_links(const std::string& text) {
    std::vector<DroppedLink> links;
    for (const std::string& line : lines_of(text)) {
        const size_t scheme = scheme_length(line);
        if (scheme == 0 || scheme == line.size()) continue;
        bool blank = false;
        for (char c : line) blank = blank || is_space(c) || static_cast<unsigned char>(c) < 0x20;
        if (!blank) links.push_back({line, std::string()});
    }
    return links;
}

bool internet_shortcut_link(const char* file_name, const char* text, DroppedLink* link) {
    char* url;
    char* title;
    if (!shortcut_bookmark(file_name, text, &url, &title)) return false;
    link->url = url;
    link->title = title;
    free(url);
    free(title);
    return true;
}

void take_dropped_links(BookmarkSink* sink, const std::vector<DroppedLink>& links) {
    for (const DroppedLink& link : links) {
        SourceBookmark bookmark = empty_source_bookmark();
        bookmark.url = link.url.c_str();
        bookmark.title = link.title.c_str();
        if (take_bookmark(sink, bookmark) != ADD_SKIPPED) continue;
        const bool in_page = trimmed(link.url.c_str(), link.url.c_str() + link.url.size())[0] == '#';
        note_skipped(sink->report, link.title.empty() ? link.url.c_str() : link.title.c_str(),
                     in_page ? "a place within a page, not a page" : IMPORT_NO_ADDRESS);
    }
}
