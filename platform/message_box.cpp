// Message boxes and the internal-fault box.
#include "platform/message_box.h"

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

void application_error(const char* /*fault*/) {
    MessageBoxA(nullptr, "An Unknown error occured in the application", "Application Error",
                MB_TASKMODAL | MB_ICONSTOP);
}
