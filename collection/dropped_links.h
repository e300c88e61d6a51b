// Links handed over by drag and drop or through the clipboard, in the forms
// browsers and the shell give them: the Mozilla URL text (URL and title lines),
// the HTML clipboard format (its anchors and their texts), plain text (one URL
// a line) and an Internet Shortcut's text. All of it comes from other programs:
// any bytes are read without harm, and what is not a link is left out.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct BookmarkSink;

struct DroppedLink {
    std::string url;    // UTF-8, as given: the collection tidies it
    std::string title;  // UTF-8; empty when the source gives none
};

// "text/x-moz-url", as UTF-8: lines taken in pairs, a URL and its title.
std::vector<DroppedLink> moz_url_links(const std::string& text);

// "HTML Format": the header's byte offsets of the fragment (else of the whole
// document) within the data, and the anchors there with the text they enclose.
// A relative address is resolved against the header's SourceURL; without one
// it is left out, as is a reference within the page ("#...").
std::vector<DroppedLink> html_format_links(const char* data, size_t size);

// Plain text: each line that is a URL by itself (a scheme of two or more
// letters, a colon, and no blanks).
std::vector<DroppedLink> plain_text_links(const std::string& text);

// The link of an Internet Shortcut's text (UTF-8, else the ANSI code page),
// titled with its file name (without folder and extension). False when the
// text holds no URL.
bool internet_shortcut_link(const char* file_name, const char* text, DroppedLink* link);

// Hands each link to the sink as a bookmark of its own; the ones the
// collection cannot store are noted in the report with the reason.
void take_dropped_links(BookmarkSink* sink, const std::vector<DroppedLink>& links);
