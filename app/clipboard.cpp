// The clipboard as plain text.
#include "app/clipboard.h"

#include <cstring>

void copy_text_to_clipboard(HWND owner, const char* text) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    size_t size = strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    void* bytes = memory ? GlobalLock(memory) : nullptr;
    if (bytes) {
        memcpy(bytes, text, size);
        GlobalUnlock(memory);
        // The clipboard owns the memory once it has taken it.
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    } else if (memory) {
        GlobalFree(memory);
    }
    CloseClipboard();
}
