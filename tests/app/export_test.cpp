// Export: the scope dialog, the save dialog, the file written, and that it
// reads back as the program's own file.
#include "app/export.h"

#include <string>

#include "collection/collection_file.h"
#include "core/whole_file.h"
#include "search/keyword_index.h"
#include "tests/app/commands_fixture.h"
#include "tests/app/dialog_driver.h"
#include "tests/platform/message_box_watcher.h"

namespace {

void save_as(HWND dialog, const std::string& path) {
    SetDlgItemTextA(dialog, cmb13, path.c_str());
    SetDlgItemTextA(dialog, edt1, path.c_str());
    press(dialog, IDOK);
}

std::string text_of(const PtrVector* records) {
    char* text = build_collection_text(records);
    std::string result = text;
    free(text);
    return result;
}

}  // namespace

TEST_F(CommandsTest, ExportWithNothingSelectedWritesEveryBookmarkInTheCollectionFormat) {
    select_rows({});
    DialogDriver driver;
    std::string caption;
    driver.then([&](HWND dialog) {
        caption = window_text(dialog);
        save_as(dialog, dir.path("all"));  // no extension: the dialog adds ".htm"
    });
    EXPECT_TRUE(press_ctrl('E'));
    EXPECT_EQ(driver.dialogs_seen(), 1) << "no scope question without a selection";
    EXPECT_EQ(caption, "Export Ravozorizi");
    ASSERT_TRUE(dir.exists("all.htm"));
    EXPECT_EQ(dir.read("all.htm"), text_of(app_state->collection.records));
    EXPECT_EQ(pane(0), "4 Ravozorizi exported to " + dir.path("all.htm"));
}

TEST_F(CommandsTest, ExportedFileImportsBackAsTheProgramsOwnFile) {
    Bookmark* kernel = record("http://www.kernel.org/");
    set_bookmark_keywords(&app_state->collection, kernel, "penguin sources");
    select_rows({});
    {
        DialogDriver driver;
        driver.then([&](HWND dialog) { save_as(dialog, dir.path("out.htm")); });
        command(IDM_EXPORT);
    }
    select_rows({2});
    {
        MessageBoxWatcher watcher(IDYES);
        command(IDM_DELETE);
    }
    ASSERT_EQ(record("http://www.kernel.org/"), nullptr);
    DialogDriver driver;
    driver.then([&](HWND dialog) { save_as(dialog, dir.path("out.htm")); });
    command(IDM_IMPORT);
    EXPECT_EQ(pane(0), "1 added, 3 merged, 0 skipped");
    Bookmark* back = record("http://www.kernel.org/");
    ASSERT_NE(back, nullptr);
    char* keywords = keyword_set_text(back->keywords);
    EXPECT_STREQ(keywords, "penguin sources") << "stored keywords, not words of the title";
    free(keywords);
    EXPECT_EQ(back->added, 1000u);
    EXPECT_EQ(back->last_visit, 2000u);
}

TEST_F(CommandsTest, ScopeDialogFormatsTheVerbAndStartsOnSelected) {
    select_rows({0, 2});
    DialogDriver driver;
    std::string caption, all, selected;
    bool selected_checked = false;
    HICON icon = nullptr;
    driver.then([&](HWND dialog) {
        caption = window_text(dialog);
        all = item_text(dialog, IDC_SCOPE_ALL);
        selected = item_text(dialog, IDC_SCOPE_SELECTED);
        selected_checked = IsDlgButtonChecked(dialog, IDC_SCOPE_SELECTED) == BST_CHECKED;
        icon = reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, IDC_SCOPE_ICON, STM_GETICON, 0, 0));
        press(dialog, IDOK);
    });
    driver.then([&](HWND dialog) { save_as(dialog, dir.path("two.htm")); });
    command(IDM_EXPORT);
    EXPECT_EQ(caption, "Export Ravozorizi");
    EXPECT_EQ(all, "Export &all Ravozorizi");
    EXPECT_EQ(selected, "Export &selected Ravozorizi");
    EXPECT_TRUE(selected_checked);
    EXPECT_NE(icon, nullptr);
    PtrVector* chosen = vec_create();
    vec_append(chosen, record("http://ui-patterns.com/"));
    vec_append(chosen, record("http://www.kernel.org/"));
    EXPECT_EQ(dir.read("two.htm"), text_of(chosen));
    vec_destroy(chosen);
    EXPECT_EQ(pane(0), "2 Ravozorizi exported to " + dir.path("two.htm"));
}

TEST_F(CommandsTest, ScopeAllExportsEveryBookmarkAndOneIsSingular) {
    select_rows({1});
    {
        DialogDriver driver;
        driver.then([](HWND dialog) {
            CheckRadioButton(dialog, IDC_SCOPE_ALL, IDC_SCOPE_SELECTED, IDC_SCOPE_ALL);
            press(dialog, IDOK);
        });
        driver.then([&](HWND dialog) { save_as(dialog, dir.path("every.htm")); });
        command(IDM_EXPORT);
    }
    EXPECT_EQ(dir.read("every.htm"), text_of(app_state->collection.records));

    DialogDriver driver;
    driver.then([](HWND dialog) { press(dialog, IDOK); });
    driver.then([&](HWND dialog) { save_as(dialog, dir.path("one.htm")); });
    command(IDM_EXPORT);
    EXPECT_EQ(pane(0), "1 Linkstone exported to " + dir.path("one.htm"));
}

TEST_F(CommandsTest, ScopeCancelledOrClosedExportsNothing) {
    select_rows({1});
    DialogDriver driver;
    driver.then([](HWND dialog) { press(dialog, IDCANCEL); });
    driver.then([](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); });
    command(IDM_EXPORT);
    command(IDM_EXPORT);
    EXPECT_EQ(driver.dialogs_seen(), 2) << "no save dialog after either";
    EXPECT_EQ(pane(0).find("exported"), std::string::npos);
}

TEST_F(CommandsTest, ExportThatCannotBeWrittenSaysSo) {
    fail_next_file_step(FILE_STEP_WRITE);
    std::string path = dir.path("failed.htm");
    select_rows({});
    std::string message, caption;
    DialogDriver driver;
    driver.then([&](HWND dialog) { save_as(dialog, path); });
    driver.then([&](HWND box) {
        caption = window_text(box);
        message = message_box_text(box);
        press(box, IDOK);
    });
    command(IDM_EXPORT);
    EXPECT_EQ(caption, "Ravozorizi");
    EXPECT_EQ(message, "Unable to export Ravozorizi to specified file\n\n" + path);
    EXPECT_EQ(pane(0).find("exported"), std::string::npos);
    EXPECT_FALSE(dir.exists("failed.htm"));
}

// The save dialog asks before an existing file is replaced: No leaves it and
// the dialog open, Yes writes over it.
TEST_F(CommandsTest, ExportAsksBeforeReplacingAnExistingFile) {
    dir.write("old.htm", "a file of the user's");
    const std::string path = dir.path("old.htm");
    select_rows({});
    for (int answer : {IDNO, IDYES}) {
        std::string prompt;
        HWND file_dialog = nullptr;
        DialogDriver driver;
        driver
            .then([&](HWND dialog) {
                file_dialog = dialog;
                save_as(dialog, path);
            })
            .then([&](HWND box) {
                prompt = message_box_text(box);
                press(box, answer);
                if (answer == IDNO) DialogDriver::again(file_dialog);
            })
            .then(once_enabled([](HWND dialog) { press(dialog, IDCANCEL); }));
        command(IDM_EXPORT);
        EXPECT_NE(prompt.find("exists"), std::string::npos) << prompt;
        EXPECT_EQ(dir.read("old.htm"),
                  answer == IDNO ? "a file of the user's" : text_of(app_state->collection.records));
    }
}

TEST_F(CommandsTest, ExportIsGreyedWithoutBookmarks) {
    select_rows({0, 1, 2, 3});
    {
        MessageBoxWatcher watcher(IDYES);
        command(IDM_DELETE);
    }
    DialogDriver driver;
    press_ctrl('E');
    EXPECT_EQ(driver.dialogs_seen(), 0);
}
