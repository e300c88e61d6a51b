// Today's browsers' stores through the real window: the first start brings in every profile found with a line per
// source, Import from Browser imports the ticked ones, and Auto Rescan Browsers re-reads only a store that changed.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <vector>

#include "app/browser_imports.h"
#include "app/rescans.h"
#include "collection/import_report.h"
#include "tests/app/window_fixture.h"

namespace {

std::string chromium_file(const std::vector<std::pair<std::string, std::string>>& bookmarks) {
    std::string children;
    for (const auto& b : bookmarks) {
        if (!children.empty()) children += ",";
        children += R"({"type":"url","name":")" + b.first + R"(","url":")" + b.second + R"("})";
    }
    return R"({"roots":{"bookmark_bar":{"type":"folder","name":"Bar","children":[)" + children + "]}}}";
}

class BrowserImport : public WindowTest {
protected:
    void use_folders(const std::string& root) {
        lstrcpyA(app_state->local_app_data, (root + "/Local").c_str());
        lstrcpyA(app_state->roaming_app_data, (root + "/Roaming").c_str());
    }
    std::string sources() { return tb_text(app_state->last_import->sources); }
};

TEST_F(BrowserImport, FirstStartBringsInEveryProfileWithALinePerSourceAndTheReasons) {
    use_folders(LK_STORES_DIR "/profiles");
    const uint32_t before = count();
    run_startup_rescans(true);
    idle();
    EXPECT_EQ(sources(),
              "Chrome (Work): 5 added, 0 merged, 1 skipped\n"
              "Chrome (Work): 1 added, 0 merged, 0 skipped\n"
              "Chrome (Home): 1 added, 0 merged, 0 skipped\n"
              "Edge (Default): the browser keeps its bookmarks only encrypted\n"
              "Brave (Default): not a bookmarks file: Missing a name for object member (byte 100)\n"
              "Brave (Personal): 1 added, 0 merged, 0 skipped\n"
              "Opera (Default): 1 added, 0 merged, 0 skipped\n"
              "Opera GX (Default): 1 added, 0 merged, 0 skipped\n"
              "Firefox (default-release): 6 added, 0 merged, 0 skipped\n"
              "Firefox (dev-edition-default): 1 added, 0 merged, 0 skipped\n"
              "Firefox (default): the copy of the database fails its check\n"
              "Firefox (moved): 1 added, 0 merged, 0 skipped\n");
    EXPECT_EQ(record("https://lost.example/"), nullptr);
    EXPECT_EQ(pane(0), std::to_string(count() - before) + " added, 0 merged, 1 skipped");
    EXPECT_EQ(rows(), static_cast<int>(count()));
}

TEST_F(BrowserImport, ImportFromBrowserListsTheProfilesAndImportsTheTickedOnes) {
    use_folders(LK_STORES_DIR "/profiles");
    std::vector<std::string> listed;
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_BROWSER_STORES);
        for (int row = 0; row < ListView_GetItemCount(list); row++) {
            std::string line;
            for (int column = 0; column < 3; column++) {
                char text[256] = "";
                ListView_GetItemText(list, row, column, text, sizeof text);
                line += std::string(column ? "|" : "") + text;
            }
            listed.push_back(line + (ListView_GetCheckState(list, row) ? " [x]" : " [ ]"));
            ListView_SetCheckState(list, row, line == "Chrome|Home|1" || line.rfind("Brave|Default", 0) == 0);
        }
        press(dialog, IDOK);
    });
    command(IDM_IMPORT_BROWSER);
    EXPECT_EQ(listed, (std::vector<std::string>{
                          "Chrome|Work|6 [x]", "Chrome|Work|1 [x]", "Chrome|Home|1 [x]",
                          "Edge|Default|the browser keeps its bookmarks only encrypted [ ]",
                          "Brave|Default|not a bookmarks file: Missing a name for object member (byte 100) [ ]",
                          "Brave|Personal|1 [x]", "Opera|Default|1 [x]", "Opera GX|Default|1 [x]",
                          "Firefox|default-release|6 [x]", "Firefox|dev-edition-default|1 [x]",
                          "Firefox|default|the copy of the database fails its check [ ]", "Firefox|moved|1 [x]"}));
    ASSERT_EQ(driver.boxes.size(), 1u);
    EXPECT_EQ(driver.boxes[0].text,
              "1 added, 0 merged, 0 skipped\n\nChrome (Home): 1 added, 0 merged, 0 skipped\n"
              "Brave (Default): not a bookmarks file: Missing a name for object member (byte 100)");
    EXPECT_NE(record("https://home.example/"), nullptr);
    EXPECT_EQ(record("https://example.org/"), nullptr);
}

TEST_F(BrowserImport, AutoRescanRereadsOnlyAChangedStoreAndDeletesNothing) {
    const std::string chrome = "Local/Google/Chrome/User Data/Default/Bookmarks";
    const std::string edge = "Local/Microsoft/Edge/User Data/Default/Bookmarks";
    dir.make_folder("Local/Google/Chrome/User Data/Default");
    dir.make_folder("Local/Microsoft/Edge/User Data/Default");
    dir.write(chrome, chromium_file({{"Kept", "http://kept.example/"}}));
    dir.write(edge, chromium_file({{"Edge Page", "http://edge.example/"}}));
    use_folders(dir.path());
    run_startup_rescans(true);
    ASSERT_NE(record("http://edge.example/"), nullptr);
    delete_record(&app_state->collection, record("http://edge.example/"));
    app_state->options.option_flags |= OPT_AUTO_RESCAN_BROWSERS;
    run_startup_rescans(false);
    EXPECT_EQ(sources(), "");  // nothing changed
    dir.write(chrome, chromium_file({{"New One", "http://new.example/"}, {"Another", "http://another.example/"}}));
    run_startup_rescans(false);
    EXPECT_EQ(sources(), "Chrome (Default): 2 added, 0 merged, 0 skipped\n");
    EXPECT_NE(record("http://kept.example/"), nullptr);
    EXPECT_EQ(record("http://edge.example/"), nullptr);
    // A store of a folder the user named is rescanned too; one left unticked no more.
    dir.make_folder("Portable/Default");
    dir.write("Portable/Default/Bookmarks", chromium_file({{"Portable", "http://portable.example/"}}));
    const std::vector<BrowserStore> portable = find_stores_in_folder(dir.path("Portable/Default"));
    ASSERT_EQ(portable.size(), 1u);
    import_chosen_store(portable[0], read_browser_store(portable[0]), app_state->last_import);
    forget_chosen_store(user_browser_stores()[1]);
    dir.write("Portable/Default/Bookmarks", chromium_file({{"Later", "http://later.example/"}}));
    dir.write(edge, chromium_file({{"Edge Later", "http://edge-later.example/"}}));
    run_startup_rescans(false);
    EXPECT_EQ(sources(), "Chromium (Default): 1 added, 0 merged, 0 skipped\n");
    EXPECT_EQ(record("http://edge-later.example/"), nullptr);
}

// Copies what `from` holds that `to` lacks, noting each copy made so that it can be taken away again; folders both have
// are merged.
void copy_missing(const std::filesystem::path& from, const std::filesystem::path& to,
                  std::vector<std::filesystem::path>* made) {
    for (const auto& entry : std::filesystem::directory_iterator(from)) {
        const std::filesystem::path target = to / entry.path().filename();
        if (!std::filesystem::exists(target)) {
            std::filesystem::copy(entry.path(), target, std::filesystem::copy_options::recursive);
            made->push_back(target);
        } else if (entry.is_directory()) {
            copy_missing(entry.path(), target, made);
        }
    }
}

// The program itself finds the profiles in the user's own application data folders at its first start: two Chromium
// browsers with two profiles each, Opera in both layouts and Firefox with two installs.
TEST(LkExe, FirstStartFindsTheBrowsersInTheUsersApplicationDataFolders) {
    char local[MAX_PATH], roaming[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)));
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming)));
    std::vector<std::filesystem::path> made;
    copy_missing(LK_STORES_DIR "/profiles/Local", local, &made);
    copy_missing(LK_STORES_DIR "/profiles/Roaming", roaming, &made);
    {
        TempDir dir;
        Program program(dir);
        // Every bookmark of the readable stores, as the first-start test counts them.
        EXPECT_TRUE(eventually([&] { return program.rows() == 18; })) << program.rows();
        EXPECT_EQ(program.close(), 1u);
    }
    std::error_code ignored;
    for (const auto& path : made) std::filesystem::remove_all(path, ignored);
}

}  // namespace
