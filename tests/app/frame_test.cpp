// The frame window in-process, and lk.exe as a process.
#include "app/frame.h"

#include <string>

#include "app/resource.h"
#include "tests/app/app_state_fixture.h"

TEST_F(AppStateTest, FrameCarriesClassAndTitleAndClosesCleanly) {
    ASSERT_TRUE(register_frame_class(app_instance) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    HWND frame = create_frame(app_instance);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(app_state->main_window, frame);
    EXPECT_EQ(FindWindowA(FRAME_CLASS_NAME, nullptr), frame);
    char title[64];
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ(title, "Ravozorizi");

    SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(app_state->main_window, nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

namespace {

HWND wait_for_window(const char* class_name, DWORD process_id) {
    for (int i = 0; i < 600; i++) {
        HWND found = FindWindowA(class_name, nullptr);
        DWORD owner = 0;
        if (found) GetWindowThreadProcessId(found, &owner);
        if (found && owner == process_id && IsWindowVisible(found)) return found;
        Sleep(50);
    }
    return nullptr;
}

}  // namespace

TEST(LkExe, StartsShowsItsFrameAndExitsCleanlyOnClose) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" LK_EXE_PATH "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    HWND frame = wait_for_window(FRAME_CLASS_NAME, process.dwProcessId);
    ASSERT_NE(frame, nullptr);
    char title[64];
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ(title, "Ravozorizi");
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exit_code = 99;
    GetExitCodeProcess(process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}
