// The first pane of the status bar: results of actions for a while, texts of
// long actions until replaced, "Ready" otherwise.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Shows text in the first status pane for duration milliseconds (STATUS_FOREVER:
// until replaced). A null text or zero duration means "Ready", unless a null
// text arrives while a timed text is still due.
void set_status_text(const char* text, DWORD duration);

// "1 Linkstone", "3 Ravozorizi", with an adjective between when given.
std::string bookmark_count(uint32_t count, const char* adjective = nullptr);

// Width in pixels of a text in the status bar's font.
int status_text_width(const char* text);
