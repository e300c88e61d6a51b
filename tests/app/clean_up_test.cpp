// Cleaning up through the real window, each change taken back by Ctrl+Z in turn; what Undo restores field by field
// is the collection's own test, here the wiring: accelerator, menu state, status text, list, save.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "app/command_state.h"
#include "tests/app/window_fixture.h"
#include "tests/collection/collection_invariants.h"

namespace {

class CleanUpTest : public WindowTest {
protected:
    // Ctrl+Z as the message loop takes it: the accelerator, with Ctrl held.
    void ctrl_z() {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        HACCEL accelerators = LoadAcceleratorsA(app_instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
        MSG msg = {GetFocus(), WM_KEYDOWN, 'Z', 1, 0, {0, 0}};
        EXPECT_TRUE(TranslateAcceleratorA(frame, accelerators, &msg));
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        idle();
    }
    Texts selected_titles() {
        Texts found;
        for (int row : selected_rows()) found.push_back(row_text(row, 0));
        return found;
    }
    static std::vector<bool> ticks(HWND dialog, int list_id) {
        HWND list = GetDlgItem(dialog, list_id);
        std::vector<bool> ticked;
        for (int row = 0; row < ListView_GetItemCount(list); row++) ticked.push_back(ListView_GetCheckState(list, row));
        return ticked;
    }
};

TEST_F(CleanUpTest, EachChangeIsUndoneInTurnAndTheSaveWritesWhatIsBack) {
    add("Kernel Mirror", "https://kernel.org/");  // the same page as www.kernel.org, added later
    record("https://kernel.org/")->added = 5000;
    add("Spare Page", "http://spare.example/");
    add("Old Page", "http://old.example/deep/page");
    store_check("http://webdesign.example/", VERDICT_MOVED, 3000, "http://webdesign.example/basics");
    store_check("http://old.example/deep/page", VERDICT_MOVED, 3000,
                "http://old.example/");  // only the front page: not ticked
    app_state->filter_dirty = 1;
    idle();
    EXPECT_FALSE(command_state(IDM_UNDO));
    const std::string original = dump_every_field(&app_state->collection);
    std::string question, replace;
    std::vector<bool> duplicate_ticks, moved_ticks;
    {
        DialogDriver driver(IDYES);  // the question before deleting
        select_rows({1});            // Internet Engineering Task Force
        command(IDM_DELETE);
    }
    {
        DialogDriver driver;
        driver.then(fill("Patterns", "http://spare.example/", "ui")).then(answer(IDYES, &replace));
        select_rows({0});  // Interface Design Patterns
        command(IDM_PROPERTIES);
        EXPECT_TRUE(driver.boxes.empty());
    }
    {
        DialogDriver driver;
        driver.then([](HWND dialog) {
            press(dialog, IDC_DUP_NEWEST);
            DialogDriver::again(dialog);
        });
        driver.then([&](HWND dialog) {
            duplicate_ticks = ticks(dialog, IDC_DUP_LIST);
            press(dialog, IDOK);
        });
        driver.then(answer(IDYES, &question));
        command(IDM_FIND_DUPLICATES);
        EXPECT_TRUE(driver.boxes.empty());
    }
    EXPECT_EQ(duplicate_ticks, (std::vector<bool>{false, true}));
    EXPECT_EQ(question, "Delete 1 Linkstone?\n\nThe keywords of each join the Linkstone kept of its group.");
    EXPECT_EQ(record("http://www.kernel.org/"), nullptr);
    {
        DialogDriver driver;
        driver.then([&](HWND dialog) {
            moved_ticks = ticks(dialog, IDC_MOVED_LIST);
            press(dialog, IDOK);
        });
        command(IDM_UPDATE_MOVED);
        EXPECT_TRUE(driver.boxes.empty());
    }
    EXPECT_EQ(moved_ticks, (std::vector<bool>{true, false}));  // Web Design Basics, then Old Page
    EXPECT_NE(record("http://webdesign.example/basics"), nullptr);
    EXPECT_EQ(selected_titles(), Texts{"Web Design Basics"});
    EXPECT_TRUE(command_state(IDM_UPDATE_MOVED)) << "Old Page has still moved";

    // In the filter Ctrl+Z takes back typing, as in any edit box, and leaves the bookmarks alone.
    const std::string changed = dump_every_field(&app_state->collection);
    SetFocus(app_state->filter_edit);
    for (char c : std::string("web")) SendMessageA(app_state->filter_edit, WM_CHAR, static_cast<WPARAM>(c), 1);
    idle();
    EXPECT_EQ(window_text(app_state->filter_edit), "web");
    EXPECT_TRUE(command_state(IDM_UNDO));
    ctrl_z();
    EXPECT_EQ(window_text(app_state->filter_edit), "");
    EXPECT_EQ(dump_every_field(&app_state->collection), changed);

    const char* undone[] = {"Undid: Delete 1 Linkstone", "Undid: Edit Linkstone", "Undid: Remove 1 Duplicate Linkstone",
                            "Undid: Update 1 Moved Linkstone"};
    for (size_t i = std::size(undone); i-- > 0;) {
        SetFocus(app_state->list_view);
        EXPECT_TRUE(command_state(IDM_UNDO));
        ctrl_z();
        EXPECT_EQ(pane(0), undone[i]);
        EXPECT_EQ(static_cast<uint32_t>(rows()), count());
    }
    EXPECT_EQ(dump_every_field(&app_state->collection), original);
    EXPECT_EQ(selected_titles(), Texts{"Internet Engineering Task Force"});
    EXPECT_FALSE(command_state(IDM_UNDO)) << "greyed with nothing left";
    type("engineering");  // the restored bookmark's words are indexed again
    EXPECT_EQ(titles(), Texts{"Internet Engineering Task Force"});

    DialogDriver driver;
    EXPECT_TRUE(save_collection_file());
    start_again();
    EXPECT_EQ(dump_every_field(&app_state->collection), original);
}

}  // namespace
