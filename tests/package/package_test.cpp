// The release as a user meets it, under Wine: the programs' version resource, the zip run in place, and the setup
// program's silent install, start, uninstall entry and silent uninstall.
#include <windows.h>

#include <process.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/resource.h"
#include "core/handles_win32.h"
#include "core/version.h"
#include "gtest/gtest.h"
#include "platform/module_path.h"

namespace fs = std::filesystem;

namespace {

// False when the condition, which another process brings about, has not come within 30 seconds.
template <typename Condition>
bool eventually(Condition condition) {
    for (DWORD begin = GetTickCount(); !condition();) {
        if (GetTickCount() - begin > 30000) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

std::string version_string(std::vector<char>& data, const char* name) {
    const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (data.empty() || !VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        return "";
    return std::string(value, length ? length - 1 : 0);
}

// Starts the program: with _P_WAIT its exit code when it has ended, with _P_NOWAIT its process handle.
intptr_t spawn(int mode, const fs::path& program, const char* argument1 = nullptr, const char* argument2 = nullptr) {
    const std::string path = program.string(), quoted = "\"" + path + "\"";
    return _spawnl(mode, path.c_str(), quoted.c_str(), argument1, argument2, nullptr);
}

// Starts lk.exe, waits for its window, and closes it as the user does: the
// program has chosen its data folder and written its options by then.
void start_and_close(const fs::path& exe) {
    const intptr_t spawned = spawn(_P_NOWAIT, exe);
    ASSERT_NE(spawned, -1);
    const UniqueKernelObject process{reinterpret_cast<HANDLE>(spawned)};
    HWND frame = nullptr;
    EXPECT_TRUE(eventually([&] {
        frame = FindWindowA(FRAME_CLASS_NAME, nullptr);
        DWORD owner = 0;
        GetWindowThreadProcessId(frame, &owner);
        return frame && owner == GetProcessId(process.get()) && IsWindowVisible(frame);
    }));
    if (frame) PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
    TerminateProcess(process.get(), 9);
}

std::string known_folder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// The user's data folder of an installed copy, emptied for the test.
fs::path fresh_user_data_folder() {
    fs::path folder = fs::path(known_folder(CSIDL_APPDATA)) / "Ravozorizi";
    fs::remove_all(folder);
    return folder;
}

const char* const kShipped[] = {"lk.exe", "lk-help.htm", "lktool.exe", "README.txt", "LICENSE.txt"};
const char* const kUserFiles[] = {"lk.htm", "lk.htm.bak", "lk.ini"};

TEST(VersionResource, BothProgramsCarryTheOneVersion) {
    const struct {
        const char* path;
        const char* name;
    } programs[] = {{LK_EXE_PATH, "lk.exe"}, {LKTOOL_EXE_PATH, "lktool.exe"}};
    for (const auto& program : programs) {
        SCOPED_TRACE(program.name);
        DWORD ignored = 0;
        std::vector<char> data(GetFileVersionInfoSizeA(program.path, &ignored));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(!data.empty() &&
                    GetFileVersionInfoA(program.path, 0, static_cast<DWORD>(data.size()), data.data()) &&
                    VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(LK_VERSION_MINOR, LK_VERSION_MAJOR)));
        EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, LK_BUILD_NUMBER)));
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        const std::pair<const char*, std::string> strings[] = {
            {"ProductName", "Ravozorizi"},
            {"ProductVersion", LK_VERSION_TEXT},
            {"FileVersion", LK_VERSION_TEXT " build " LK_BUILD_TEXT},
            {"CompanyName", LK_MAKER},
            {"LegalCopyright", LK_COPYRIGHT},
            {"OriginalFilename", program.name},
        };
        for (const auto& string : strings) EXPECT_EQ(version_string(data, string.first), string.second) << string.first;
        EXPECT_NE(version_string(data, "FileDescription"), "");
    }
}

TEST(Package, ZipRunsInPlaceWithItsFilesBesideIt) {
    const fs::path folder = LK_UNZIPPED_DIR;
    for (const char* name : kShipped) EXPECT_TRUE(fs::exists(folder / name)) << name;
    EXPECT_FALSE(fs::exists(folder / INSTALLED_MARKER));

    std::string out;
    FILE* lktool = _popen(((folder / "lktool.exe").make_preferred().string() + " --version").c_str(), "r");
    for (char line[128]; lktool && fgets(line, sizeof line, lktool);) out += line;
    EXPECT_EQ(lktool ? _pclose(lktool) : -1, 0);
    EXPECT_EQ(out, "lktool " LK_VERSION_TEXT " build " LK_BUILD_TEXT "\n");

    const fs::path user_data = fresh_user_data_folder();
    start_and_close(folder / "lk.exe");
    EXPECT_TRUE(fs::exists(folder / "lk.ini"));
    EXPECT_FALSE(fs::exists(user_data / "lk.ini"));
}

TEST(Package, SetupInstallsForTheUserAndUninstallsLeavingTheirFiles) {
    const fs::path folder = fs::path(known_folder(CSIDL_LOCAL_APPDATA)) / "Programs" / "Ravozorizi";
    const fs::path shortcut = fs::path(known_folder(CSIDL_PROGRAMS)) / "Ravozorizi.lnk";
    const char key_name[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ravozorizi";
    fs::remove_all(folder);
    const fs::path user_data = fresh_user_data_folder();

    ASSERT_EQ(spawn(_P_WAIT, LK_SETUP_EXE, "/S", "/CURRENTUSER"), 0);
    for (const char* name : kShipped) EXPECT_TRUE(fs::exists(folder / name)) << name;
    EXPECT_TRUE(fs::exists(folder / INSTALLED_MARKER));
    EXPECT_TRUE(fs::exists(shortcut));

    // The entry in Settings, Apps: what it shows and how it uninstalls (a number as its decimal text).
    const auto entry_value = [&](const char* name) {
        char value[2 * MAX_PATH] = "";
        DWORD type = 0, size = sizeof value;
        const DWORD types = RRF_RT_REG_SZ | RRF_RT_REG_DWORD;
        EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, key_name, name, types, &type, value, &size), ERROR_SUCCESS) << name;
        return type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(value)) : std::string(value);
    };
    const std::string dir = folder.string();
    const std::pair<const char*, std::string> values[] = {
        {"DisplayName", "Ravozorizi"},
        {"DisplayVersion", LK_VERSION_TEXT},
        {"Publisher", LK_MAKER},
        {"DisplayIcon", dir + "\\lk.exe,0"},
        {"InstallLocation", dir},
        {"UninstallString", "\"" + dir + "\\uninstall.exe\""},
        {"QuietUninstallString", "\"" + dir + "\\uninstall.exe\" /S"},
        {"NoModify", "1"},
        {"NoRepair", "1"},
    };
    for (const auto& value : values) EXPECT_EQ(entry_value(value.first), value.second) << value.first;
    const int kilobytes = atoi(entry_value("EstimatedSize").c_str());
    EXPECT_TRUE(kilobytes >= 100 && kilobytes <= 100000) << kilobytes;

    // Installed, it keeps its files in the user's data folder, though it
    // could write beside itself.
    start_and_close(folder / "lk.exe");
    EXPECT_TRUE(fs::exists(user_data / "lk.ini"));
    EXPECT_FALSE(fs::exists(folder / "lk.ini"));

    // The user's files, in both places, outlive the program.
    for (const char* name : kUserFiles) {
        std::ofstream(folder / name) << "mine";
        std::ofstream(user_data / name) << "mine";
    }
    ASSERT_EQ(spawn(_P_WAIT, folder / "uninstall.exe", "/S"), 0);
    // The uninstaller goes on as a copy of itself in the temporary folder.
    EXPECT_TRUE(eventually([&] {
        return !fs::exists(folder / "uninstall.exe") &&
               RegGetValueA(HKEY_CURRENT_USER, key_name, "DisplayName", RRF_RT_ANY, nullptr, nullptr, nullptr) ==
                   ERROR_FILE_NOT_FOUND;
    }));
    for (const char* name : kShipped) EXPECT_FALSE(fs::exists(folder / name)) << name;
    EXPECT_FALSE(fs::exists(folder / INSTALLED_MARKER));
    EXPECT_FALSE(fs::exists(shortcut));
    for (const char* name : kUserFiles) {
        EXPECT_TRUE(fs::exists(folder / name)) << name;
        EXPECT_TRUE(fs::exists(user_data / name)) << name;
    }
    fs::remove_all(folder);
    fs::remove_all(user_data);
}

}  // namespace
