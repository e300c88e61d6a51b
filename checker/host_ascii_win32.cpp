// IDNA through Windows (normaliz.dll, which Wine has as well).
#include <windows.h>

#include <cstdlib>

#include "checker/host_ascii.h"

char* idna_to_ascii(const char* host) {
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, host, -1, nullptr, 0);
    if (length <= 0) return nullptr;
    wchar_t* wide = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * static_cast<size_t>(length)));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, host, -1, wide, length);
    wchar_t converted[256];  // the longest name the system takes, and its end
    int size = IdnToAscii(0, wide, -1, converted, 256);
    free(wide);
    if (size <= 0) return nullptr;
    char* ascii = static_cast<char*>(malloc(static_cast<size_t>(size)));
    for (int i = 0; i < size; i++) ascii[i] = static_cast<char>(converted[i]);  // IDNA output is ASCII
    return ascii;
}
