// Drives the modal dialogs a test opens, step by step, from inside their own
// message loops. Every top-level dialog initialised on this thread (message
// boxes, file dialogs and property sheets too) asks for the next step once its
// loop runs; a step fills controls with messages and posts the button press,
// and may ask for another step on the same window with again().
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

using DialogStep = std::function<void(HWND dialog)>;

class DialogDriver {
public:
    DialogDriver() {
        active_ = this;
        init_hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, on_call_return, nullptr, GetCurrentThreadId());
        message_hook_ = SetWindowsHookExA(WH_GETMESSAGE, on_get_message, nullptr, GetCurrentThreadId());
    }
    ~DialogDriver() {
        UnhookWindowsHookEx(init_hook_);
        UnhookWindowsHookEx(message_hook_);
        active_ = nullptr;
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    DialogDriver& then(DialogStep step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    // Runs the next step on this dialog once its loop is idle again.
    static void again(HWND dialog) { PostMessageA(dialog, drive_message(), 0, 0); }
    // Runs the step again later, before any other: for a step that finds the
    // dialog still disabled by a nested one that is closing.
    static void retry(HWND dialog, DialogStep step) {
        active_->steps_.push_front(std::move(step));
        again(dialog);
    }
    size_t steps_left() const { return steps_.size(); }
    int dialogs_seen() const { return dialogs_seen_; }

private:
    static UINT drive_message() {
        static UINT message = RegisterWindowMessageA("DialogDriverStep");
        return message;
    }

    static LRESULT CALLBACK on_call_return(int code, WPARAM wparam, LPARAM lparam) {
        const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
        if (code == HC_ACTION && active_ && call->message == WM_INITDIALOG &&
            !(GetWindowLongA(call->hwnd, GWL_STYLE) & WS_CHILD)) {
            active_->dialogs_seen_++;
            again(call->hwnd);
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    static LRESULT CALLBACK on_get_message(int code, WPARAM wparam, LPARAM lparam) {
        MSG* msg = reinterpret_cast<MSG*>(lparam);
        if (code == HC_ACTION && wparam == PM_REMOVE && active_ && msg->message == drive_message()) {
            msg->message = WM_NULL;
            if (!active_->steps_.empty()) {
                DialogStep step = std::move(active_->steps_.front());
                active_->steps_.pop_front();
                step(msg->hwnd);
            } else {
                // Nothing planned: close it rather than hang the test.
                PostMessageA(msg->hwnd, WM_COMMAND, IDCANCEL, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    static inline DialogDriver* active_ = nullptr;
    HHOOK init_hook_;
    HHOOK message_hook_;
    std::deque<DialogStep> steps_;
    int dialogs_seen_ = 0;
};

// Texts of a dialog's controls, for the checks.
inline std::string item_text(HWND dialog, int id) {
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

inline std::string window_text(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

inline void press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// The step, once the dialog is enabled again: a step after a nested box may
// find it still disabled by the box that is closing.
inline DialogStep once_enabled(DialogStep step) {
    return [step](HWND dialog) {
        if (!IsWindowEnabled(dialog)) return DialogDriver::retry(dialog, once_enabled(step));
        step(dialog);
    };
}

// The longest static text of a message box: its message.
inline std::string message_box_text(HWND box) {
    std::string longest;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char class_name[32];
        GetClassNameA(child, class_name, sizeof class_name);
        if (lstrcmpiA(class_name, "Static") != 0) continue;
        std::string text = window_text(child);
        if (text.size() > longest.size()) longest = text;
    }
    return longest;
}
