// ANSI text read in the code page of the system's locale. The program itself
// runs with UTF-8 as its code page (its manifest asks for it), so the process's
// own code page (CP_ACP) is no guide to what older files hold.
#include <windows.h>

#include <cstdlib>

#include "core/ansi_text.h"

namespace {

UINT system_ansi_code_page() {
    char digits[8] = "";
    if (!GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof digits)) return 1252;
    UINT code_page = static_cast<UINT>(atoi(digits));
    // A system whose locale has no ANSI code page of its own, or whose code
    // page is UTF-8 already, reads old files as Western European ones.
    return code_page == 0 || code_page == CP_UTF8 ? 1252 : code_page;
}

}  // namespace

char* ansi_to_utf8(const char* text, size_t length) {
    const UINT code_page = system_ansi_code_page();
    const int count = static_cast<int>(length);
    int wide_length = count > 0 ? MultiByteToWideChar(code_page, 0, text, count, nullptr, 0) : 0;
    wchar_t* wide = static_cast<wchar_t*>(malloc((static_cast<size_t>(wide_length) + 1) * sizeof(wchar_t)));
    if (wide_length > 0) MultiByteToWideChar(code_page, 0, text, count, wide, wide_length);
    int utf8_length =
        wide_length > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide, wide_length, nullptr, 0, nullptr, nullptr) : 0;
    char* out = static_cast<char*>(malloc(static_cast<size_t>(utf8_length) + 1));
    if (utf8_length > 0) WideCharToMultiByte(CP_UTF8, 0, wide, wide_length, out, utf8_length, nullptr, nullptr);
    out[utf8_length] = '\0';
    free(wide);
    return out;
}
