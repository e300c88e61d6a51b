// Where the browsers' bookmarks are found, and the rescans of start-up, in
// process and in a first run of the real program.
#include "app/rescans.h"

#include <shlobj.h>

#include <string>

#include "app/status_text.h"
#include "tests/app/commands_fixture.h"
#include "tests/app/program_process.h"

namespace {

const char kNetscapeKey[] = "Software\\Netscape\\Netscape Navigator\\Bookmark List";

const char kNetscapeFile[] =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
    "<DT><H3>Reading</H3>\n<DL><p>\n"
    "<DT><A HREF=\"http://navigator-one.example/\" ADD_DATE=\"900000000\">Navigator One</A>\n"
    "<DT><A HREF=\"http://navigator-two.example/\" ADD_DATE=\"900000000\">Navigator Two</A>\n"
    "</DL><p>\n</DL><p>\n";

class RescansTest : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        dir.write("bookmark.htm", kNetscapeFile);
        dir.make_folder("fav\\Sub");
        dir.write("fav\\Sub\\Shortcut Page.url", "[InternetShortcut]\r\nURL=http://shortcut.example/\r\n");
        set_favorites_folder(dir.path("fav"));
    }
    void TearDown() override {
        delete_registry_key(HKEY_CURRENT_USER, kNetscapeKey);
        CommandsTest::TearDown();
    }
    void name_netscape_file() {
        set_registry_string(HKEY_CURRENT_USER, kNetscapeKey, "File Location", dir.path("bookmark.htm").c_str());
    }
    uint32_t count() { return app_state->collection.records->count; }
};

}  // namespace

TEST_F(RescansTest, FavoritesFolderIsTheRegistryValueWithASeparatorElseTheShells) {
    char folder[MAX_PATH];
    EXPECT_TRUE(favorites_folder(folder));
    EXPECT_EQ(std::string(folder), dir.path("fav") + "\\");

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    for (int round = 0; round < 2; round++) {
        // An empty value names no folder, and neither does a missing one.
        if (round == 0) set_favorites_folder("");
        if (round == 1) remove_favorites_value();
        char shell[MAX_PATH] = "";
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, shell)));
        EXPECT_TRUE(favorites_folder(folder));
        EXPECT_EQ(std::string(folder), std::string(shell) + "\\");
        EXPECT_NE(std::string(folder).find(windows), 0u);
    }
}

TEST_F(RescansTest, StartupRescansFollowTheirOptions) {
    name_netscape_file();
    app_state->options.option_flags &= ~(OPT_AUTO_RESCAN_BOOKMARKS | OPT_AUTO_RESCAN_FAVORITES);
    run_startup_rescans(false);
    EXPECT_EQ(count(), 4u);

    app_state->options.option_flags |= OPT_AUTO_RESCAN_BOOKMARKS;
    run_startup_rescans(false);
    EXPECT_EQ(count(), 6u);
    EXPECT_EQ(pane(0), "2 new Ravozorizi found during rescan of " + dir.path("bookmark.htm"));
    EXPECT_EQ(app_state->last_import->added, 2u) << "kept for the Import Report command";
    EXPECT_EQ(find_by_url(&app_state->collection, "http://shortcut.example/"), nullptr);

    set_status_text(nullptr, 0);
    run_startup_rescans(false);
    EXPECT_EQ(count(), 6u);
    EXPECT_EQ(pane(0), "Ready") << "a rescan that finds nothing new is silent";

    app_state->options.option_flags = OPT_AUTO_RESCAN_FAVORITES;
    run_startup_rescans(false);
    EXPECT_EQ(count(), 7u);
    Bookmark* shortcut = find_by_url(&app_state->collection, "http://shortcut.example/");
    ASSERT_NE(shortcut, nullptr);
    EXPECT_STREQ(shortcut->title, "Shortcut Page");
    idle();
    EXPECT_EQ(rows(), 7);
}

TEST_F(RescansTest, FirstRunRescansBothWhateverTheOptionsAndReports) {
    name_netscape_file();
    dir.write("fav\\Not A Shortcut.url", "plain text");
    app_state->options.option_flags &= ~(OPT_AUTO_RESCAN_BOOKMARKS | OPT_AUTO_RESCAN_FAVORITES);
    run_startup_rescans(true);
    EXPECT_EQ(count(), 7u);
    EXPECT_EQ(pane(0), "3 added, 0 merged, 1 skipped");
}

TEST_F(RescansTest, RescanWithoutRegistryEntryDoesNothing) {
    delete_registry_key(HKEY_CURRENT_USER, kNetscapeKey);
    set_status_text(nullptr, 0);
    rescan_netscape_bookmarks(nullptr);
    EXPECT_EQ(count(), 4u);
    EXPECT_EQ(pane(0), "Ready");
}

TEST_F(RescansTest, FirstRunOfTheProgramImportsTheFavorites) {
    std::string exe = dir.path("lk.exe");
    ASSERT_TRUE(CopyFileA(LK_EXE_PATH, exe.c_str(), FALSE));
    // The fixture's frame would be taken for a running copy.
    DestroyWindow(frame);
    ProgramProcess program;
    ASSERT_TRUE(program.start(exe));
    HWND lk_frame = program.wait_for_frame();
    ASSERT_NE(lk_frame, nullptr);
    PostMessageA(lk_frame, WM_CLOSE, 0, 0);
    ASSERT_NE(program.wait_exit(), 999u);
    EXPECT_NE(dir.read("lk.htm").find("HREF=\"http://shortcut.example/\""), std::string::npos);
    EXPECT_NE(dir.read("lk.ini").find("First Run=0"), std::string::npos);
}
