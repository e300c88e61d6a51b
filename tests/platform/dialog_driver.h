// Answers the dialogs a test provokes from inside their loops: each top-level dialog on this thread takes the next
// planned step (which may ask for another with again()) once no box of its own is open over it; one with no step left
// is noted and answered.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

using DialogStep = std::function<void(HWND dialog)>;

inline std::string window_text(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}
inline std::string item_text(HWND dialog, int id) { return window_text(GetDlgItem(dialog, id)); }
inline void press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// The longest static text of a message box: its message.
inline std::string message_box_text(HWND box) {
    std::string longest;
    for (HWND text = nullptr; (text = FindWindowExA(box, text, "Static", nullptr));) {
        if (window_text(text).size() > longest.size()) longest = window_text(text);
    }
    return longest;
}

struct SeenBox {
    std::string caption, text;
};

class DialogDriver {
public:
    explicit DialogDriver(int answer_boxes = IDOK) : answer(answer_boxes) {
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
    DialogDriver& then(DialogStep step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    static void again(HWND dialog) { PostMessageA(dialog, kStep, 0, 0); }

    std::vector<SeenBox> boxes;  // the dialogs that found no step
    int answer;                  // the button they get

private:
    static inline const UINT kStep = RegisterWindowMessageA("DialogDriverStep");
    static LRESULT CALLBACK on_call_return(int code, WPARAM wparam, LPARAM lparam) {
        const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
        if (code == HC_ACTION && active_ && call->message == WM_INITDIALOG &&
            !(GetWindowLongA(call->hwnd, GWL_STYLE) & WS_CHILD)) {
            again(call->hwnd);
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    static LRESULT CALLBACK on_get_message(int code, WPARAM wparam, LPARAM lparam) {
        MSG* msg = reinterpret_cast<MSG*>(lparam);
        if (code == HC_ACTION && wparam == PM_REMOVE && active_ && msg->message == kStep) {
            msg->message = WM_NULL;
            if (!IsWindowEnabled(msg->hwnd)) {
                again(msg->hwnd);  // a nested box is still open
            } else if (active_->steps_.empty()) {
                active_->boxes.push_back({window_text(msg->hwnd), message_box_text(msg->hwnd)});
                press(msg->hwnd, active_->answer);
                press(msg->hwnd, IDCANCEL);  // for one the answer leaves open
            } else {
                DialogStep step = std::move(active_->steps_.front());
                active_->steps_.pop_front();
                step(msg->hwnd);
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    static inline DialogDriver* active_ = nullptr;
    HHOOK init_hook_;
    HHOOK message_hook_;
    std::deque<DialogStep> steps_;
};
