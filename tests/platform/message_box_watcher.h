// Answers the message boxes a test provokes, and remembers what they said.
// While a watcher lives, every dialog box initialised on this thread is read
// (caption and static texts) and closed with the button the test chose.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;  // the longest static text: the message itself
    bool owned;        // had an owner window
};

class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(int answer = IDOK) : answer_(answer) {
        active_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, on_call_return, nullptr, GetCurrentThreadId());
    }
    ~MessageBoxWatcher() {
        UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    void set_answer(int answer) { answer_ = answer; }
    const std::vector<SeenMessageBox>& seen() const { return seen_; }

private:
    static BOOL CALLBACK read_static(HWND child, LPARAM context) {
        char class_name[32];
        GetClassNameA(child, class_name, sizeof class_name);
        if (lstrcmpiA(class_name, "Static") == 0) {
            char text[2048];
            GetWindowTextA(child, text, sizeof text);
            std::string* longest = reinterpret_cast<std::string*>(context);
            if (lstrlenA(text) > static_cast<int>(longest->size())) *longest = text;
        }
        return TRUE;
    }

    // Read the box once WM_INITDIALOG has returned: its texts are set by then.
    static LRESULT CALLBACK on_call_return(int code, WPARAM wparam, LPARAM lparam) {
        const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
        if (code == HC_ACTION && active_ && call->message == WM_INITDIALOG) {
            HWND box = call->hwnd;
            char class_name[32];
            GetClassNameA(box, class_name, sizeof class_name);
            if (lstrcmpA(class_name, "#32770") == 0) {
                SeenMessageBox seen;
                char caption[256];
                GetWindowTextA(box, caption, sizeof caption);
                seen.caption = caption;
                EnumChildWindows(box, read_static, reinterpret_cast<LPARAM>(&seen.text));
                seen.owned = GetWindow(box, GW_OWNER) != nullptr;
                active_->seen_.push_back(seen);
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(active_->answer_, BN_CLICKED), 0);
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    static inline MessageBoxWatcher* active_ = nullptr;
    HHOOK hook_;
    int answer_;
    std::vector<SeenMessageBox> seen_;
};
