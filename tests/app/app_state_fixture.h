// A zero-filled application state for in-process window tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/app_state.h"

class AppStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_state = static_cast<AppState*>(calloc(1, sizeof(AppState)));
        app_instance = GetModuleHandleA(nullptr);
    }
    void TearDown() override {
        free(app_state);
        app_state = nullptr;
    }
};

// Handles every message waiting for this thread.
inline void pump_messages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
