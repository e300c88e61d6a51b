// The list's right click: which row it takes, what the menu offers, and that
// a chosen item arrives as the command.
#include "app/list_notifications.h"

#include <string>
#include <vector>

#include "tests/app/commands_fixture.h"

namespace {

const std::vector<std::string> kOneItemMenu = {
    "&Open", "&Export...", "&Delete", "&Mark Visited (grey)", "&Copy URL to Clipboard", "-", "&Properties..."};

}  // namespace

TEST_F(CommandsTest, RightClickOnAnUnselectedRowSelectsOnlyItAndOffersTheOneItemMenu) {
    select_rows({0, 1, 3});
    MenuPicker picker(0);
    right_click_row(2, 20);
    EXPECT_EQ(picker.menus_seen, 1);
    EXPECT_EQ(picker.items, kOneItemMenu);
    EXPECT_EQ(selected_rows(), std::vector<int>{2});
    EXPECT_EQ(ListView_GetNextItem(app_state->list_view, -1, LVNI_FOCUSED), 2);
}

TEST_F(CommandsTest, RightClickPastTheColumnsCountsForTheRow) {
    select_rows({});
    MenuPicker picker(0);
    right_click_row(1, 520);
    EXPECT_EQ(picker.menus_seen, 1);
    EXPECT_EQ(selected_rows(), std::vector<int>{1});
}

TEST_F(CommandsTest, RightClickOnASelectedRowOffersTheSeveralItemsMenu) {
    Bookmark* kernel = record("http://www.kernel.org/");
    kernel->last_modified = 3000;
    select_rows({1, 2});
    MenuPicker picker(0);
    right_click_row(2, 20);
    EXPECT_EQ(picker.items, (std::vector<std::string>{"&Delete", "&Export...", "&Mark Visited (grey)"}));
    EXPECT_EQ(selected_rows(), (std::vector<int>{1, 2}));
}

TEST_F(CommandsTest, RightClickBelowTheLastRowShowsNoMenu) {
    MenuPicker picker(0);
    RECT last = {};
    last.left = LVIR_BOUNDS;
    ListView_GetItemRect(app_state->list_view, 3, &last, LVIR_BOUNDS);
    LPARAM below = MAKELPARAM(20, last.bottom + 40);
    PostMessageA(app_state->list_view, WM_RBUTTONUP, 0, below);
    SendMessageA(app_state->list_view, WM_RBUTTONDOWN, MK_RBUTTON, below);
    idle();
    EXPECT_EQ(picker.menus_seen, 0);
}

TEST_F(CommandsTest, ContextMenuChoiceArrivesAsTheCommand) {
    {
        MenuPicker picker('c');
        right_click_row(0, 20);
        EXPECT_EQ(picker.menus_seen, 1);
    }
    EXPECT_EQ(clipboard_text(), "http://ui-patterns.com/");

    Bookmark* kernel = record("http://www.kernel.org/");
    kernel->last_modified = 3000;
    set_fixed_clock(&app_state->collection, 5000);
    {
        MenuPicker picker('m');
        right_click_row(2, 20);
        EXPECT_EQ(picker.items[3], "&Mark Visited");
    }
    EXPECT_EQ(kernel->last_visit, 5000u);
}

// Letters typed in the list select the next bookmark whose title begins with
// them, wrapping at the end; the same letter again goes on to the next one.
TEST_F(CommandsTest, TypingInTheListFindsTitles) {
    SetFocus(app_state->list_view);
    select_rows({3});
    ListView_SetItemState(app_state->list_view, 3, LVIS_FOCUSED, LVIS_FOCUSED);
    auto type_letter = [&](char letter) {
        SendMessageA(app_state->list_view, WM_CHAR, static_cast<WPARAM>(letter), 1);
        idle();
        return selected_rows();
    };
    EXPECT_EQ(type_letter('i'), std::vector<int>{0}) << "past the last row to the first";
    EXPECT_EQ(type_letter('i'), std::vector<int>{1});
    EXPECT_EQ(row_text(1, 0), "Internet Engineering Task Force");
    EXPECT_EQ(type_letter('i'), std::vector<int>{0});
    EXPECT_EQ(type_letter('x'), std::vector<int>{0}) << "no title begins with iiix";
}

// Shift+F10 and the Menu key open the selection's menu at the focused row,
// as the list's own keys reach the frame.
TEST_F(CommandsTest, ShiftF10AndTheMenuKeyOpenTheSelectionsMenu) {
    SetFocus(app_state->list_view);
    BYTE keys[256];
    GetKeyboardState(keys);
    const struct {
        UINT message;
        WPARAM key;
        bool shift;
    } presses[] = {{WM_SYSKEYDOWN, VK_F10, true}, {WM_KEYDOWN, VK_APPS, false}};
    for (const auto& key : presses) {
        SCOPED_TRACE(key.key);
        select_rows({2});
        ListView_SetItemState(app_state->list_view, 2, LVIS_FOCUSED, LVIS_FOCUSED);
        keys[VK_SHIFT] = key.shift ? 0x80 : 0;
        SetKeyboardState(keys);
        {
            MenuPicker picker(0);
            PostMessageA(app_state->list_view, key.message, key.key, 1);
            idle();
            EXPECT_EQ(picker.menus_seen, 1);
            EXPECT_EQ(picker.items, kOneItemMenu);
            EXPECT_EQ(selected_rows(), std::vector<int>{2}) << "the selection stays as it was";
            RECT label = {};
            ListView_GetItemRect(app_state->list_view, 2, &label, LVIR_LABEL);
            POINT corner = {label.left, label.bottom};
            ClientToScreen(app_state->list_view, &corner);
            EXPECT_EQ(picker.shown_at.left, corner.x);
            EXPECT_EQ(picker.shown_at.top, corner.y);
        }
        select_rows({});
        MenuPicker picker(0);
        PostMessageA(app_state->list_view, key.message, key.key, 1);
        idle();
        EXPECT_EQ(picker.menus_seen, 0) << "no selection, no menu";
    }
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}
