// The settings file: first run, legacy import, defaults, hand-edited values,
// the order of a full write, write failures and the desktop fitting.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "platform/registry.h"
#include "platform/settings_file.h"
#include "tests/app/app_state_fixture.h"
#include "tests/platform/settings_fixture.h"

namespace {

const char kLegacyRoot[] = "Software\\Tessfold";
const char kLegacyKey[] = "Software\\Tessfold\\Ravozorizi\\Format 1\\Properties";

std::string beside_executable(const char* name) {
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string path = module;
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

RECT desktop_work_area() {
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

const uint32_t kNamedFlags = OPT_PARTIAL_MATCH | OPT_CASE_SENSITIVE | OPT_AUTO_LAUNCH_BROWSER | OPT_BACKUP_COLLECTION |
                             OPT_IMPLIED_OR | OPT_TOOLTIPS | OPT_AUTO_RESCAN_BOOKMARKS | OPT_AUTO_RESCAN_FAVORITES |
                             OPT_AUTO_STATUS_CHECK | OPT_CONFIRM_SINGLE_DELETES | OPT_CONFIRM_MULTIPLE_DELETES;

class Settings : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        app_state = static_cast<AppState*>(calloc(1, sizeof(AppState)));
        delete_registry_key(HKEY_CURRENT_USER, kLegacyRoot);
    }
    void TearDown() override {
        delete_registry_key(HKEY_CURRENT_USER, kLegacyRoot);
        free(app_state);
        app_state = nullptr;
        SettingsTest::TearDown();
    }
    Options& options() { return app_state->options; }
};

}  // namespace

TEST_F(Settings, FirstRunWritesOnlyTheMarker) {
    EXPECT_TRUE(is_first_run());
    import_legacy_settings();
    EXPECT_EQ(settings_text(), "[General]\r\nFirst Run=0\r\n");
    EXPECT_FALSE(is_first_run());
    EXPECT_EQ(settings_text(), "[General]\r\nFirst Run=0\r\n");
}

TEST_F(Settings, FirstRunAddsTheLegacyCollectionPath) {
    set_registry_string(HKEY_CURRENT_USER, kLegacyKey, "Ravozorizi File", "C:\\old\\lk.htm");
    ASSERT_TRUE(is_first_run());
    import_legacy_settings();
    EXPECT_EQ(settings_text(), "[General]\r\nFirst Run=0\r\nLinkstone File=C:\\old\\lk.htm\r\n");
    load_settings(&options());
    EXPECT_STREQ(options().collection_path, "C:\\old\\lk.htm");
}

TEST_F(Settings, LegacyKeyWithoutValueLeavesTheDefaultPath) {
    set_registry_string(HKEY_CURRENT_USER, kLegacyKey, "Other", "x");
    ASSERT_TRUE(is_first_run());
    import_legacy_settings();
    EXPECT_EQ(settings_text(), "[General]\r\nFirst Run=0\r\nLinkstone File=\r\n");
    load_settings(&options());
    EXPECT_EQ(options().collection_path, beside_executable("lk.htm"));
}

TEST_F(Settings, LegacyImportKeepsAPathAlreadySet) {
    set_registry_string(HKEY_CURRENT_USER, kLegacyKey, "Ravozorizi File", "C:\\old\\lk.htm");
    write_settings("[General]\r\nLinkstone File=D:\\mine.htm\r\n");
    import_legacy_settings();
    EXPECT_EQ(settings_text(), "[General]\r\nLinkstone File=D:\\mine.htm\r\n");
}

TEST_F(Settings, FirstRunMarkerDecidesTheNextStart) {
    const struct {
        const char* marker;
        bool first_run;
    } cases[] = {{"0", false}, {"1", true}, {"7", true}, {"", true}, {"-0", false}, {"no", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.marker);
        // A file of its own per case: the platform caches profiles by name.
        std::string path = folder + "\\marker" + std::to_string(&c - cases) + ".ini";
        set_settings_path(path.c_str());
        write_file(path, std::string("[General]\r\nFirst Run=") + c.marker + "\r\n");
        EXPECT_EQ(is_first_run(), c.first_run);
        int32_t value = 5;
        EXPECT_TRUE(read_int_setting("General", "First Run", &value));
        EXPECT_EQ(value, 0);
    }
    set_settings_path((folder + "\\none.ini").c_str());
    EXPECT_TRUE(is_first_run());
    EXPECT_FALSE(is_first_run());
}

TEST_F(Settings, MissingFileGivesEveryDefault) {
    options().option_flags = 0xFFFFFFFFu & ~OPT_PARTIAL_MATCH;
    load_settings(&options());
    EXPECT_EQ(options().option_flags & kNamedFlags, OPT_PARTIAL_MATCH | OPT_BACKUP_COLLECTION | OPT_TOOLTIPS |
                                                        OPT_CONFIRM_SINGLE_DELETES | OPT_CONFIRM_MULTIPLE_DELETES);
    // Bits that no key names are left alone.
    EXPECT_EQ(options().option_flags & ~kNamedFlags, 0xFFFFFFFFu & ~kNamedFlags);
    EXPECT_EQ(options().check_interval, 15u);
    EXPECT_EQ(options().column_width[0], 200);
    EXPECT_EQ(options().column_width[1], 300);
    EXPECT_EQ(options().frame_x, CW_USEDEFAULT);
    EXPECT_EQ(options().frame_y, CW_USEDEFAULT);
    EXPECT_EQ(options().frame_width, CW_USEDEFAULT);
    EXPECT_EQ(options().frame_height, CW_USEDEFAULT);
    EXPECT_EQ(options().collection_path, beside_executable("lk.htm"));
    EXPECT_EQ(settings_text(), "");
}

TEST_F(Settings, HandEditedIntegersParseAsDocumented) {
    write_settings(
        "[T]\r\nyes=yes\r\nminus=-5\r\ndigits=12ab\r\nempty=\r\nlone=-\r\nspaced=  42  \r\n"
        "zeros=007\r\nmost=-2147483648\r\nwrap=4294967295\r\nneg=--3\r\nplus=+3\r\n"
        "long=1234567890123456789012345678901234567890\r\n");
    const struct {
        const char* key;
        bool found;
        int32_t value;
    } cases[] = {
        {"yes", true, 0},   {"minus", true, -5},  {"digits", true, 12}, {"empty", false, 99},
        {"lone", true, 0},  {"spaced", true, 42}, {"zeros", true, 7},   {"most", true, INT_MIN},
        {"wrap", true, -1}, {"neg", true, 0},     {"plus", true, 0},    {"missing", false, 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        int32_t value = 99;
        EXPECT_EQ(read_int_setting("T", c.key, &value), c.found);
        EXPECT_EQ(value, c.value);
    }
    // Read through a 32-byte buffer; far too many digits still give a number.
    int32_t value = 99;
    EXPECT_TRUE(read_int_setting("T", "long", &value));
}

TEST_F(Settings, HandEditedOptionsReachTheBlock) {
    write_settings(
        "[General]\r\nTooltips=yes\r\nAuto Check Interval=-5\r\nConfirm Single Deletes=12ab\r\n"
        "Confirm Multiple Deletes=\r\nAuto Status Check=-1\r\nBackup Linkstone File=0\r\n"
        "[search properties]\r\nimplied or=1\r\nPartial Match=0\r\n"
        "[Window Layout]\r\nCol Width 0=150\r\nCol Width 1=abc\r\n");
    load_settings(&options());
    uint32_t flags = options().option_flags;
    EXPECT_FALSE(flags & OPT_TOOLTIPS);                              // "yes" reads as 0
    EXPECT_EQ(options().check_interval, static_cast<uint32_t>(-5));  // used unchanged
    EXPECT_TRUE(flags & OPT_CONFIRM_SINGLE_DELETES);
    EXPECT_TRUE(flags & OPT_CONFIRM_MULTIPLE_DELETES);  // empty keeps the default
    EXPECT_TRUE(flags & OPT_AUTO_STATUS_CHECK);
    EXPECT_FALSE(flags & OPT_BACKUP_COLLECTION);
    EXPECT_TRUE(flags & OPT_IMPLIED_OR);  // names compared without regard to case
    EXPECT_FALSE(flags & OPT_PARTIAL_MATCH);
    EXPECT_EQ(options().column_width[0], 150);
    EXPECT_EQ(options().column_width[1], 0);
}

TEST_F(Settings, TooltipsKeepsItsDefaultWhenEmpty) {
    write_settings("[General]\r\nTooltips=\r\n");
    load_settings(&options());
    EXPECT_TRUE(options().option_flags & OPT_TOOLTIPS);
}

TEST_F(Settings, CloseWritesEveryKeyInOrder) {
    ASSERT_TRUE(is_first_run());
    load_settings(&options());
    // As the options sheet would set them; the registry's entries vary by machine.
    lstrcpyA(app_state->browser_link.profiles[0].exe_path, "C:\\nav\\netscape.exe");
    lstrcpyA(app_state->browser_link.profiles[1].exe_path, "C:\\ie\\iexplore.exe");
    app_state->browser_link.selected_browser = 1;
    lstrcpyA(options().collection_path, "C:\\data\\lk.htm");
    options().option_flags |= OPT_AUTO_STATUS_CHECK | OPT_IMPLIED_OR | 0x1000;
    options().check_interval = 30;
    options().frame_x = 10;
    options().frame_y = -20;
    options().frame_width = 640;
    options().frame_height = 480;
    ASSERT_TRUE(save_settings(&options()));
    EXPECT_EQ(settings_text(),
              "[General]\r\n"
              "First Run=0\r\n"
              "Auto Launch Browser=0\r\n"
              "Backup Linkstone File=1\r\n"
              "Auto Rescan Bookmarks=0\r\n"
              "Auto Rescan Favorites=0\r\n"
              "Auto Status Check=1\r\n"
              "Tooltips=1\r\n"
              "Auto Check Interval=30\r\n"
              "Check Connections=16\r\n"
              "Host Interval=1\r\n"
              "Check Pass Started=0\r\n"
              "Confirm Single Deletes=1\r\n"
              "Confirm Multiple Deletes=1\r\n"
              "Version=102\r\n"
              "Build=32\r\n"
              "Linkstone File=C:\\data\\lk.htm\r\n"
              "[Search Properties]\r\n"
              "Partial Match=1\r\n"
              "Case Sensitive=0\r\n"
              "Implied Or=1\r\n"
              "[Window Layout]\r\n"
              "Col Width 0=200\r\n"
              "Col Width 1=300\r\n"
              "Frame X=10\r\n"
              "Frame Y=-20\r\n"
              "Frame Width=640\r\n"
              "Frame Height=480\r\n"
              "[Browsers]\r\n"
              "Selected Browser=1\r\n"
              "Use URL.DLL=0\r\n"
              "Netscape - Service Name=Netscape\r\n"
              "Netscape - Exe Path=C:\\nav\\netscape.exe\r\n"
              "Netscape - Launch Arguments=-h\r\n"
              "Netscape - Get URL Topic=WWW_GetWindowInfo\r\n"
              "Netscape - Open URL Topic=WWW_OpenURL\r\n"
              "Netscape - Open URL DDE Exec=%s\r\n"
              "Netscape - Version Topic=WWW_Version\r\n"
              "IExplore - Service Name=IExplore\r\n"
              "IExplore - Exe Path=C:\\ie\\iexplore.exe\r\n"
              "IExplore - Launch Arguments=-nohome\r\n"
              "IExplore - Get URL Topic=WWW_GetWindowInfo\r\n"
              "IExplore - Open URL Topic=WWW_OpenURL\r\n"
              "IExplore - Open URL DDE Exec=\"%s\",,-1,,,,,\r\n"
              "IExplore - Version Topic=WWW_Version\r\n");
}

TEST_F(Settings, DefaultFrameIsWrittenAsTheSignedMinimum) {
    load_settings(&options());
    ASSERT_TRUE(save_settings(&options()));
    EXPECT_NE(settings_text().find("Frame X=-2147483648\r\nFrame Y=-2147483648\r\n"
                                   "Frame Width=-2147483648\r\nFrame Height=-2147483648\r\n"),
              std::string::npos);
    Options again = {};
    load_settings(&again);
    EXPECT_EQ(again.frame_x, CW_USEDEFAULT);
    EXPECT_EQ(again.frame_height, CW_USEDEFAULT);
}

TEST_F(Settings, SavedOptionsLoadAgain) {
    load_settings(&options());
    options().option_flags = (options().option_flags ^ kNamedFlags) | 0x4;
    options().check_interval = 0;
    options().column_width[0] = 120;
    options().column_width[1] = 240;
    options().frame_x = 5;
    options().frame_y = 6;
    options().frame_width = 300;
    options().frame_height = 200;
    lstrcpyA(options().collection_path, "Z:\\somewhere\\else.htm");
    ASSERT_TRUE(save_settings(&options()));
    Options again = {};
    load_settings(&again);
    EXPECT_EQ(again.option_flags, options().option_flags & kNamedFlags);
    EXPECT_EQ(again.check_interval, 0u);
    EXPECT_EQ(again.column_width[0], 120);
    EXPECT_EQ(again.column_width[1], 240);
    EXPECT_EQ(again.frame_x, 5);
    EXPECT_EQ(again.frame_y, 6);
    EXPECT_EQ(again.frame_width, 300);
    EXPECT_EQ(again.frame_height, 200);
    EXPECT_STREQ(again.collection_path, "Z:\\somewhere\\else.htm");
}

TEST_F(Settings, EmptyCollectionPathLoadsTheDefaultAndIsWrittenBack) {
    write_settings("[General]\r\nLinkstone File=\r\n");
    load_settings(&options());
    EXPECT_EQ(options().collection_path, beside_executable("lk.htm"));
    ASSERT_TRUE(save_settings(&options()));
    char path[MAX_PATH];
    ASSERT_TRUE(read_string_setting("General", "Linkstone File", path, sizeof path));
    EXPECT_EQ(path, beside_executable("lk.htm"));
}

TEST_F(Settings, SaveFailsWhenTheFileCannotBeWritten) {
    load_settings(&options());
    set_settings_path((folder + "\\missing\\lk.ini").c_str());
    EXPECT_FALSE(save_settings(&options()));

    std::string directory = folder + "\\folder.ini";
    CreateDirectoryA(directory.c_str(), nullptr);
    set_settings_path(directory.c_str());
    EXPECT_FALSE(save_settings(&options()));
    RemoveDirectoryA(directory.c_str());

    // Held open without sharing by another program.
    std::string locked = folder + "\\locked.ini";
    write_file(locked, "[General]\r\nFirst Run=0\r\n");
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    set_settings_path(locked.c_str());
    EXPECT_FALSE(save_settings(&options()));
    CloseHandle(holder);
    EXPECT_EQ(file_text(locked), "[General]\r\nFirst Run=0\r\n");
}

TEST_F(Settings, MaximisedFrameSavesItsRestoredRectangle) {
    load_settings(&options());
    HWND frame = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW, 30, 40, 300, 200, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_NE(frame, nullptr);
    ShowWindow(frame, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(frame));
    app_state->main_window = frame;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(frame, &placement);
    ASSERT_TRUE(save_settings(&options()));
    DestroyWindow(frame);
    app_state->main_window = nullptr;
    Options again = {};
    load_settings(&again);
    EXPECT_EQ(again.frame_x, placement.rcNormalPosition.left);
    EXPECT_EQ(again.frame_y, placement.rcNormalPosition.top);
    EXPECT_EQ(again.frame_width, 300);
    EXPECT_EQ(again.frame_height, 200);
}

TEST_F(Settings, FrameOffTheDesktopLetsTheSystemPlaceIt) {
    write_settings("[Window Layout]\r\nFrame X=-2000\r\n");
    load_settings(&options());
    EXPECT_EQ(options().frame_x, CW_USEDEFAULT);
    EXPECT_EQ(options().frame_y, CW_USEDEFAULT);
    EXPECT_EQ(options().frame_width, CW_USEDEFAULT);
    EXPECT_EQ(options().frame_height, CW_USEDEFAULT);
}

TEST_F(Settings, FrameFitting) {
    RECT area = desktop_work_area();
    const struct {
        int32_t x, y, width, height;
        bool kept;
        int32_t fitted_width, fitted_height;
    } cases[] = {
        // Overlapping by one pixel at either corner: used unchanged.
        {area.right - 1, area.bottom - 1, 400, 300, true, 400, 300},
        {area.left - 399, area.top - 299, 400, 300, true, 400, 300},
        // Touching the edge only: does not meet the work area.
        {area.right, area.top, 400, 300, false, 0, 0},
        {area.left - 400, area.top, 400, 300, false, 0, 0},
        // Too small: raised to 50 by 20, then tested.
        {area.left + 10, area.top + 10, 3, -7, true, 50, 20},
        {area.left - 40, area.top, 0, 0, true, 50, 20},
        {area.left - 50, area.top, 0, 0, false, 0, 0},
        // Far to the right: the edges must not wrap round onto the screen.
        {INT_MAX - 10, area.top, 400, 300, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
        Options o = {};
        o.frame_x = c.x;
        o.frame_y = c.y;
        o.frame_width = c.width;
        o.frame_height = c.height;
        fit_frame_to_work_area(&o);
        if (c.kept) {
            EXPECT_EQ(o.frame_x, c.x);
            EXPECT_EQ(o.frame_y, c.y);
            EXPECT_EQ(o.frame_width, c.fitted_width);
            EXPECT_EQ(o.frame_height, c.fitted_height);
        } else {
            EXPECT_EQ(o.frame_x, CW_USEDEFAULT);
            EXPECT_EQ(o.frame_y, CW_USEDEFAULT);
            EXPECT_EQ(o.frame_width, CW_USEDEFAULT);
            EXPECT_EQ(o.frame_height, CW_USEDEFAULT);
        }
    }
}

TEST_F(Settings, ColumnsWiderThanTheDesktopGoBackToTheDefaults) {
    int32_t width = desktop_work_area().right - desktop_work_area().left;
    Options o = {};
    o.column_width[0] = width / 2;
    o.column_width[1] = width - width / 2;
    fit_columns_to_work_area(&o);
    EXPECT_EQ(o.column_width[0], width / 2);
    o.column_width[1]++;
    fit_columns_to_work_area(&o);
    EXPECT_EQ(o.column_width[0], 200);
    EXPECT_EQ(o.column_width[1], 300);
    o.column_width[0] = INT_MAX;
    o.column_width[1] = INT_MAX;
    fit_columns_to_work_area(&o);
    EXPECT_EQ(o.column_width[0], 200);
}

TEST_F(Settings, ColumnsOf900EachOnANarrowerDesktop) {
    if (desktop_work_area().right - desktop_work_area().left >= 1800) GTEST_SKIP();
    write_settings("[Window Layout]\r\nCol Width 0=900\r\nCol Width 1=900\r\n");
    load_settings(&options());
    EXPECT_EQ(options().column_width[0], 200);
    EXPECT_EQ(options().column_width[1], 300);
}

TEST_F(Settings, RegistryStringsOnlyOfTextType) {
    const char path[] = "Software\\Tessfold\\Values";
    set_registry_string(HKEY_CURRENT_USER, path, "text", "hello");
    HKEY key;
    ASSERT_TRUE(open_registry_key(HKEY_CURRENT_USER, "Software\\Tessfold\\", "Values", &key));
    DWORD number = 0x00434241;  // "ABC" and a zero
    RegSetValueExA(key, "number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    // Stored without its terminating zero.
    RegSetValueExA(key, "bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdef"), 6);
    char buffer[8];
    EXPECT_TRUE(read_registry_string(key, "text", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "hello");
    EXPECT_FALSE(read_registry_string(key, "number", buffer, sizeof buffer));
    EXPECT_TRUE(read_registry_string(key, "bare", buffer, 7));
    EXPECT_STREQ(buffer, "abcdef");
    // Too small for the value: whatever the platform leaves, the text ends within it.
    read_registry_string(key, "bare", buffer, 4);
    EXPECT_LT(strlen(buffer), 4u);
    lstrcpyA(buffer, "kept");
    EXPECT_FALSE(read_registry_string(key, "absent", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "kept");
    RegCloseKey(key);
    EXPECT_FALSE(open_registry_key(HKEY_CURRENT_USER, "Software\\Tessfold\\", "Nothing", &key));
}

TEST_F(Settings, RandomSettingsFilesLoadWithinBounds) {
    std::mt19937 random(61206);
    const char* const keys[] = {"Partial Match",
                                "Tooltips",
                                "Auto Check Interval",
                                "Col Width 0",
                                "Col Width 1",
                                "Frame X",
                                "Frame Y",
                                "Frame Width",
                                "Frame Height",
                                "Linkstone File",
                                "Selected Browser",
                                "Netscape - Service Name",
                                "IExplore - Open URL DDE Exec",
                                "Netscape - Exe Path"};
    const char* const sections[] = {"General", "Window Layout", "Search Properties", "Browsers"};
    const char alphabet[] = "0123456789-+ab[]= \t\r\n;\"%s";
    RECT area = desktop_work_area();
    for (int round = 0; round < 150; round++) {
        std::string text;
        int lines = static_cast<int>(random() % 40);
        for (int i = 0; i < lines; i++) {
            switch (random() % 4) {
                case 0:
                    text += std::string("[") + sections[random() % 4] + "]\r\n";
                    break;
                case 1:
                case 2: {
                    text += std::string(keys[random() % (sizeof keys / sizeof keys[0])]) + "=";
                    size_t length = random() % 300;
                    for (size_t j = 0; j < length; j++) text += alphabet[random() % (sizeof alphabet - 1)];
                    text += "\r\n";
                    break;
                }
                default:
                    for (int j = static_cast<int>(random() % 50); j > 0; j--) {
                        text += static_cast<char>(random() % 256);
                    }
            }
        }
        std::string path = folder + "\\random" + std::to_string(round) + ".ini";
        write_file(path, text);
        set_settings_path(path.c_str());
        Options o = {};
        load_settings(&o);
        bool system_placed = o.frame_x == CW_USEDEFAULT && o.frame_y == CW_USEDEFAULT &&
                             o.frame_width == CW_USEDEFAULT && o.frame_height == CW_USEDEFAULT;
        if (!system_placed) {
            EXPECT_GE(o.frame_width, 50);
            EXPECT_GE(o.frame_height, 20);
            EXPECT_LT(o.frame_x, area.right);
            EXPECT_LT(o.frame_y, area.bottom);
        }
        EXPECT_LE(static_cast<int64_t>(o.column_width[0]) + o.column_width[1], area.right - area.left);
        EXPECT_LT(strlen(o.collection_path), static_cast<size_t>(MAX_PATH));
        uint32_t selected = app_state->browser_link.selected_browser;
        EXPECT_TRUE(selected == 0 || selected == 1 || selected == 3);
        for (const BrowserProfile& profile : app_state->browser_link.profiles) {
            EXPECT_LT(strlen(profile.service_name), sizeof profile.service_name);
            EXPECT_LT(strlen(profile.open_url_exec), sizeof profile.open_url_exec);
            EXPECT_LT(strlen(profile.exe_path), sizeof profile.exe_path);
        }
        DeleteFileA(path.c_str());
    }
}

// A value written in the ANSI code page by an older version is read in that
// code page and written back in UTF-8; lines already in UTF-8 stay as they are,
// and a file without such lines is not rewritten at all.
TEST_F(Settings, AnsiLinesAreConvertedOnceBeforeAnythingIsRead) {
    const std::string utf8_line = "Netscape - Exe Path=C:\\Caf\xC3\xA9\\netscape.exe\r\n";
    write_settings("[General]\r\nLinkstone File=C:\\Users\\Jos\xE9\\lk.htm\r\n[Browsers]\r\n" + utf8_line);
    ASSERT_TRUE(convert_ansi_settings());
    EXPECT_EQ(settings_text(),
              "[General]\r\nLinkstone File=C:\\Users\\Jos\xC3\xA9\\lk.htm\r\n[Browsers]\r\n" + utf8_line);
    char path[MAX_PATH];
    ASSERT_TRUE(read_string_setting("General", "Linkstone File", path, sizeof path));
    EXPECT_STREQ(path, "C:\\Users\\Jos\xC3\xA9\\lk.htm");

    // Nothing to convert: the file keeps its time as well as its bytes.
    HANDLE file =
        CreateFileA(settings_path.c_str(), FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME long_ago = {0xC89DC000, 0x01C07385};  // 1 January 2001
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &long_ago));
    CloseHandle(file);
    ASSERT_TRUE(convert_ansi_settings());
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExA(settings_path.c_str(), GetFileExInfoStandard, &data);
    EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, long_ago.dwHighDateTime);
}
