// A settings file in a fresh folder of its own, plus the registry helpers the settings, browser and window tests share.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/handles.h"
#include "platform/settings_file.h"
#include "tests/temp_dir.h"

// Sets a string value (null name: the key's default), creating the key.
inline void set_registry_string(HKEY root, const char* path, const char* name, const char* value) {
    ASSERT_EQ(RegSetKeyValueA(root, path, name, REG_SZ, value, static_cast<DWORD>(strlen(value) + 1)), ERROR_SUCCESS);
}

inline std::string registry_string(HKEY root, const char* path, const char* name) {
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    RegGetValueA(root, path, name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

inline void delete_registry_key(HKEY root, const char* path) {
    RegDeleteTreeA(root, path);
    RegDeleteKeyA(root, path);
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { set_settings_path(settings_path.c_str()); }
    void write_settings(const std::string& text) { std::ofstream(settings_path, std::ios::binary) << text; }

    TempDir dir;
    std::string folder = dir.path(), settings_path = dir.path("lk.ini");
};
