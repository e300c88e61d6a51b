// The settings file: the legacy import, defaults, hand-edited and random files, the order of a full write and the
// desktop fitting.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/settings_file.h"
#include "tests/platform/settings_fixture.h"

namespace {

class Settings : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        app_state = &state;
    }
    // A file of its own per case: the platform caches profiles by name.
    void use_file(const std::string& text) {
        static int serial = 0;
        settings_path = folder + "\\case" + std::to_string(++serial) + ".ini";
        set_settings_path(settings_path.c_str());
        write_settings(text);
    }
    AppState state = {};
};

}  // namespace

// Moving over from the older version: its collection path comes from its registry key unless the file names one.
TEST_F(Settings, TheLegacyPathIsTakenUnlessTheFileNamesOne) {
    const char key[] = "Software\\Tessfold\\Ravozorizi\\Format 1\\Properties";
    for (const char* file : {"", "[General]\r\nLinkstone File=D:\\mine.htm\r\n"}) {
        set_registry_string(HKEY_CURRENT_USER, key, "Ravozorizi File", "C:\\old\\lk.htm");
        use_file(file);
        import_legacy_settings();
        load_settings(&state.options);
        EXPECT_STREQ(state.options.collection_path, *file ? "D:\\mine.htm" : "C:\\old\\lk.htm");
    }
    delete_registry_key(HKEY_CURRENT_USER, "Software\\Tessfold");
}

TEST_F(Settings, HandEditedValuesReadAsDocumented) {
    write_settings(
        "[Window Layout]\r\nFrame X=-2147483648\r\nFrame Width=4294967295\r\nFrame Height=12345678901234567890\r\n"
        "Col Width 0=150\r\nCol Width 1=abc\r\nColumns= "
        "status,Bogus,,URL,Status,title\r\n[General]\r\nTooltips=\r\nAuto "
        "Check Interval=-5\r\n"
        "Confirm Single Deletes=12ab\r\nAuto Status Check=-1\r\nBackup Linkstone File=0\r\nArchive Service=none\r\n"
        "[search properties]\r\nimplied or=1\r\nPartial Match=0\r\n");
    // Keys that are missing or empty keep their defaults; bits no key names are left alone.
    state.options.option_flags = 0x1000;
    load_settings(&state.options);
    const Options& o = state.options;
    EXPECT_EQ((std::vector<int64_t>{o.option_flags, o.check_interval, o.column_width[0], o.column_width[1], o.frame_x}),
              (std::vector<int64_t>{0x1000 | OPT_TOOLTIPS | OPT_CONFIRM_SINGLE_DELETES | OPT_CONFIRM_MULTIPLE_DELETES |
                                        OPT_AUTO_STATUS_CHECK | OPT_IMPLIED_OR,
                                    0xFFFFFFFB, 150, 0, CW_USEDEFAULT}));
    // Unknown and repeated names are passed over; Title may go anywhere, and goes first when left out.
    EXPECT_EQ(shown_columns_text(&o), "Status,URL,Title");
    read_shown_columns("Added", &state.options);
    EXPECT_EQ(shown_columns_text(&o), "Title,Added");
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof module);
    EXPECT_EQ(state.options.collection_path, std::string(module, strrchr(module, '\\') + 1) + "lk.htm");
    EXPECT_STREQ(state.options.archive_service, "none");
}

TEST_F(Settings, CloseWritesEveryKeyInOrder) {
    ASSERT_TRUE(is_first_run());
    load_settings(&state.options);
    lstrcpyA(app_state->browser_link.profiles[0].exe_path, "C:\\nav\\netscape.exe");
    lstrcpyA(app_state->browser_link.profiles[1].exe_path, "C:\\ie\\iexplore.exe");
    app_state->browser_link.selected_browser = 1;
    lstrcpyA(state.options.collection_path, "C:\\data\\lk.htm");
    state.options.option_flags |= OPT_AUTO_STATUS_CHECK | OPT_IMPLIED_OR | 0x1000;
    state.options.check_interval = 30;
    state.options.frame_x = CW_USEDEFAULT;  // the system's place: the signed minimum
    state.options.frame_y = -20;
    state.options.frame_width = 640;
    state.options.frame_height = 480;
    ASSERT_TRUE(save_settings(&state.options));
    EXPECT_EQ(
        dir.read("lk.ini"),
        "[General]\r\nFirst Run=0\r\nAuto Launch Browser=0\r\nBackup Linkstone File=1\r\nAuto Rescan Bookmarks=0\r\n"
        "Auto Rescan Favorites=0\r\nAuto Rescan Browsers=0\r\nAuto Status Check=1\r\nTooltips=1\r\nAuto Check "
        "Interval=30\r\n"
        "Check Connections=64\r\nHost Interval=1\r\nCheck Pass Started=0\r\n"
        "Confirm Single Deletes=1\r\nConfirm Multiple Deletes=1\r\nVersion=102\r\nBuild=32\r\n"
        "Linkstone File=C:\\data\\lk.htm\r\nArchive Service=https://archive.org/wayback/available\r\n"
        "[Search Properties]\r\nPartial Match=1\r\nCase Sensitive=0\r\n"
        "Implied Or=1\r\n[Window Layout]\r\nCol Width 0=200\r\nCol Width 1=300\r\nCol Width 2=150\r\n"
        "Col Width 3=90\r\nCol Width 4=90\r\nFrame X=-2147483648\r\n"
        "Frame Y=-20\r\nFrame Width=640\r\nFrame Height=480\r\nColumns=Title,URL,Status\r\n[Browsers]\r\nSelected "
        "Browser=1\r\nUse URL.DLL=0\r\n"
        "Netscape - Service Name=Netscape\r\nNetscape - Exe Path=C:\\nav\\netscape.exe\r\n"
        "Netscape - Launch Arguments=-h\r\nNetscape - Get URL Topic=WWW_GetWindowInfo\r\n"
        "Netscape - Open URL Topic=WWW_OpenURL\r\nNetscape - Open URL DDE Exec=%s\r\n"
        "Netscape - Version Topic=WWW_Version\r\nIExplore - Service Name=IExplore\r\n"
        "IExplore - Exe Path=C:\\ie\\iexplore.exe\r\nIExplore - Launch Arguments=-nohome\r\n"
        "IExplore - Get URL Topic=WWW_GetWindowInfo\r\nIExplore - Open URL Topic=WWW_OpenURL\r\n"
        "IExplore - Open URL DDE Exec=\"%s\",,-1,,,,,\r\nIExplore - Version Topic=WWW_Version\r\n");
}

TEST_F(Settings, RandomSettingsFilesLoadWithinBounds) {
    std::mt19937 random(61206);
    std::vector<std::string> keys;
    std::istringstream key_list(
        "Partial Match|Tooltips|Auto Check Interval|Col Width 0|Col Width 1|Frame X|Frame Y|Frame Width|Frame Height|"
        "Linkstone File|Selected Browser|Netscape - Exe Path|Netscape - Service Name|IExplore - Open URL DDE Exec");
    for (std::string key; std::getline(key_list, key, '|');) keys.push_back(key);
    const char* const sections[] = {"General", "Window Layout", "Search Properties", "Browsers"};
    const char alphabet[] = "0123456789-+ab[]= \t\r\n;\"%s";
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    for (int round = 0; round < 150; round++) {
        std::string text;
        for (int lines = static_cast<int>(random() % 40); lines > 0; lines--) {
            text +=
                random() % 2 ? std::string("[") + sections[random() % 4] + "]\r\n" : keys[random() % keys.size()] + "=";
            for (size_t j = random() % 300; j > 0; j--) text += alphabet[random() % (sizeof alphabet - 1)];
            for (int j = static_cast<int>(random() % 8); j > 0; j--) text += static_cast<char>(random() % 256);
            text += "\r\n";
        }
        use_file(text);
        Options o = {};
        load_settings(&o);
        EXPECT_TRUE(o.frame_x == CW_USEDEFAULT ||
                    (o.frame_width >= 50 && o.frame_height >= 20 && o.frame_x < area.right && o.frame_y < area.bottom));
        EXPECT_LE(static_cast<int64_t>(o.column_width[0]) + o.column_width[1], area.right - area.left);
        EXPECT_LT(strlen(o.collection_path), static_cast<size_t>(MAX_PATH));
        const uint32_t selected = app_state->browser_link.selected_browser;
        EXPECT_TRUE(selected < 2 || selected == 3) << selected;
        EXPECT_LT(strlen(app_state->browser_link.profiles[1].open_url_exec), sizeof(BrowserProfile::open_url_exec));
    }
}
