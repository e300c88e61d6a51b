// Today's browsers' stores through the real window: Import from Browser imports the ticked ones, and Auto Rescan
// Browsers re-reads only a store that changed. What each store holds is the stores' own test; the first start over a
// profile tree is the whole program's (data_safety_test).
#include <gtest/gtest.h>

#include <string>
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
    // Each store found, with its count or why it cannot be read, ticked when it can.
    ASSERT_EQ(listed.size(), 12u);
    EXPECT_EQ((std::vector<std::string>(listed.begin(), listed.begin() + 4)),
              (std::vector<std::string>{"Chrome|Work|6 [x]", "Chrome|Work|1 [x]", "Chrome|Home|1 [x]",
                                        "Edge|Default|the browser keeps its bookmarks only encrypted [ ]"}));
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

}  // namespace
