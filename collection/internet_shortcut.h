// Internet Shortcut files (".url"), one bookmark each, as the Favorites folder
// of Internet Explorer holds them: recognising their names and reading the
// bookmark out of their text.
#pragma once

#include <cstdint>

struct BookmarkSink;

// At most this many bytes of a shortcut file are read.
const uint32_t SHORTCUT_READ_LIMIT = 8191;

// Whether a file name ends in ".url", in any letter case.
bool is_shortcut_file_name(const char* name);

// The URL of a shortcut's text: the value of the URL= key (any letter case)
// in its [InternetShortcut] section, wherever the section stands among the
// others ([DEFAULT], [{000214A0-...}] and so on) and wherever the key stands
// within it, without white space at its ends. Owned text (free with free()),
// or null when the text has no such key.
char* shortcut_url(const char* text);

// The file name without its extension: the bookmark's title. Owned text.
char* shortcut_title(const char* file_name);

// The URL and the title of a shortcut file's text (UTF-8, else the system's
// ANSI code page): the title is the file's name without folder and extension.
// Both owned (free with free()); false, with nothing made, when the text has
// no URL.
bool shortcut_bookmark(const char* file_name, const char* text, char** url, char** title);

// The reader of one shortcut file (its name and the text read from it): its
// bookmark, titled with the name, goes to the sink. A text that is not UTF-8
// is read in the system's ANSI code page.
void read_internet_shortcut(BookmarkSink* sink, const char* file_name, const char* text);
