// Message boxes and the internal-fault box.
#include "platform/message_box.h"

#include "core/containers.h"

const char APP_NAME[] = "Ravozorizi";

namespace {

HWND default_owner = nullptr;

}  // namespace

void set_message_box_owner(HWND owner) { default_owner = owner; }

int app_message_box(const char* title, const char* text, UINT flags) {
    HWND owner = GetActiveWindow();
    if (!owner) owner = default_owner;
    return MessageBoxA(owner, text, title ? title : APP_NAME, flags);
}

int report_failure(const char* what, const char* path, DWORD error, UINT flags) {
    TextBuffer text = tb_empty();
    tb_assign(&text, what);
    tb_append_str(&text, "\n\n");
    tb_append_str(&text, path);
    char words[512];
    if (error != ERROR_SUCCESS && FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                                 error, 0, words, sizeof words, nullptr) != 0) {
        tb_append_str(&text, "\n\n");
        tb_append_str(&text, trim_in_place(words));
    }
    const int answer = app_message_box(nullptr, tb_text(text), flags);
    tb_free(&text);
    return answer;
}

void application_error(const char* /*fault*/) {
    MessageBoxA(nullptr, "An Unknown error occured in the application", "Application Error",
                MB_TASKMODAL | MB_ICONSTOP);
}
