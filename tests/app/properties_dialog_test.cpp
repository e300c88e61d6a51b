// The bookmark properties dialog, driven in process over the real frame.
#include "app/properties_dialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "app/list_view.h"
#include "app/resource.h"
#include "search/keyword_index.h"
#include "tests/app/commands_fixture.h"
#include "tests/app/dialog_driver.h"
#include "tests/app/main_window_fixture.h"

namespace {

class PropertiesDialogTest : public MainWindowTest {
protected:
    // A record as the Add command makes it, not yet in the collection.
    Bookmark* new_bookmark(const char* title, const char* url) {
        Bookmark* record = new_record(&app_state->collection);
        record->title = title ? str_dup(title) : nullptr;
        record->url = url ? str_dup(url) : nullptr;
        record->added = 952257600;  // Sun 5 Mar 2000, 12:00 UTC
        return record;
    }
    bool edit(Bookmark* record, const char* offered = nullptr) {
        keywords = offered ? str_dup(offered) : nullptr;
        return edit_bookmark_properties(record, &keywords, frame);
    }
    void TearDown() override {
        free(keywords);
        MainWindowTest::TearDown();
    }
    char* keywords = nullptr;
};

struct Shown {
    std::string title, url, keywords, added, visited, modified, tab;
};

DialogStep read_into(Shown* shown, DialogStep then) {
    return [shown, then](HWND dialog) {
        shown->title = item_text(dialog, IDC_PROP_TITLE);
        shown->url = item_text(dialog, IDC_PROP_URL);
        shown->keywords = item_text(dialog, IDC_PROP_KEYWORDS);
        shown->added = item_text(dialog, IDC_PROP_ADDED);
        shown->visited = item_text(dialog, IDC_PROP_VISITED);
        shown->modified = item_text(dialog, IDC_PROP_MODIFIED);
        char tab[32] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = tab;
        item.cchTextMax = sizeof tab;
        SendDlgItemMessageA(dialog, IDC_PROP_TAB, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        shown->tab = tab;
        then(dialog);
    };
}

DialogStep fill(const char* title, const char* url, const char* keywords, int button = IDOK) {
    return [=](HWND dialog) {
        if (title) SetDlgItemTextA(dialog, IDC_PROP_TITLE, title);
        if (url) SetDlgItemTextA(dialog, IDC_PROP_URL, url);
        if (keywords) SetDlgItemTextA(dialog, IDC_PROP_KEYWORDS, keywords);
        press(dialog, button);
    };
}

DialogStep answer(int button, std::string* caption, std::string* text) {
    return [=](HWND box) {
        *caption = window_text(box);
        *text = message_box_text(box);
        press(box, button);
    };
}

// Answers the box, then runs the next step on the dialog it belongs to once
// the box has gone.
DialogStep answer_and_resume(int button, std::string* caption, std::string* text) {
    return [=](HWND box) {
        answer(button, caption, text)(box);
        DialogDriver::again(GetWindow(box, GW_OWNER));
    };
}

TEST_F(PropertiesDialogTest, NewBookmarkShowsOfferedWordsAndUnknownDates) {
    Bookmark* record = new_bookmark("Rust Language", "http://rust.example/");
    Shown shown;
    DialogDriver driver;
    driver.then(read_into(&shown, fill(nullptr, nullptr, nullptr)));
    ASSERT_TRUE(edit(record, "rust language"));

    EXPECT_EQ(shown.tab, "General");
    EXPECT_EQ(shown.title, "Rust Language");
    EXPECT_EQ(shown.url, "http://rust.example/");
    EXPECT_EQ(shown.keywords, "rust language");
    EXPECT_EQ(shown.visited, "?");
    EXPECT_EQ(shown.modified, "?");
    // ctime's form: a blank pads the single-digit day; the text ends in a line break.
    EXPECT_EQ(shown.added.substr(0, 11), "Sun Mar  5 ");
    EXPECT_EQ(shown.added.size(), 25u);
    EXPECT_EQ(shown.added.substr(19), " 2000\n");
    ASSERT_NE(keywords, nullptr);
    EXPECT_STREQ(keywords, "rust language");
    set_bookmark_keywords(&app_state->collection, record, nullptr);
    free(record->url);
    free(record->title);
    free(record);
}

TEST_F(PropertiesDialogTest, DatesShowQuestionMarksOnlyForTheirSentinels) {
    Bookmark* stored = record("http://www.ietf.org/");
    Shown shown;
    DialogDriver driver;
    driver.then(read_into(&shown, fill(nullptr, nullptr, nullptr, IDCANCEL)));
    stored->last_visit = DATE_BROKEN;  // not the "not set" value: shown as a date
    stored->last_modified = DATE_CHECKING;
    EXPECT_FALSE(edit(stored));
    EXPECT_NE(shown.visited, "?");
    EXPECT_EQ(shown.visited.size(), 25u);
    EXPECT_EQ(shown.modified, "?");

    stored->last_visit = DATE_UNSET;
    stored->last_modified = 1000000000;
    driver.then(read_into(&shown, fill(nullptr, nullptr, nullptr, IDCANCEL)));
    EXPECT_FALSE(edit(stored));
    EXPECT_EQ(shown.visited, "?");
    EXPECT_EQ(shown.modified.size(), 25u);
    EXPECT_EQ(shown.modified.substr(19), " 2001\n");
}

TEST_F(PropertiesDialogTest, BlankTitleIsRefusedWithTheFocusInTheNameBox) {
    Bookmark* stored = record("http://www.kernel.org/");
    std::string caption, text;
    bool focus_in_name = false;
    std::string title_after;
    DialogDriver driver;
    driver
        .then([](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_PROP_TITLE, "   \t ");
            SetDlgItemTextA(dialog, IDC_PROP_URL, "http://changed.example/");
            press(dialog, IDOK);
        })
        .then(answer_and_resume(IDOK, &caption, &text))
        .then(once_enabled([&](HWND dialog) {
            focus_in_name = GetFocus() == GetDlgItem(dialog, IDC_PROP_TITLE);
            press(dialog, IDCANCEL);
        }));
    keywords = str_dup("offered");
    EXPECT_FALSE(edit_bookmark_properties(stored, &keywords, frame));
    EXPECT_EQ(caption, "Ravozorizi");
    EXPECT_EQ(text, "Please enter a title for this Linkstone");
    EXPECT_TRUE(focus_in_name);
    // Cancel changes nothing, and the offered text is gone.
    EXPECT_EQ(keywords, nullptr);
    EXPECT_STREQ(stored->title, "The Linux Kernel Archives");
    EXPECT_STREQ(stored->url, "http://www.kernel.org/");
    EXPECT_EQ(driver.steps_left(), 0u);
}

// A URL the collection file would not give back is refused as an empty title
// is; blanks around a URL go and a quote is stored as %22.
TEST_F(PropertiesDialogTest, UrlsTheFileCannotKeepAreRefusedOthersTidied) {
    const struct {
        const char* typed;
        const char* message;
    } refused[] = {
        {"", "Please enter a URL for this Linkstone"},
        {"  \t ", "Please enter a URL for this Linkstone"},
        {" #top", "Please enter a URL for this Linkstone: one beginning with # names only a place within a page"},
    };
    Bookmark* stored = record("http://www.kernel.org/");
    for (const auto& test : refused) {
        SCOPED_TRACE(test.typed);
        std::string caption, text;
        bool focus_in_url = false;
        DialogDriver driver;
        driver.then(fill(nullptr, test.typed, nullptr))
            .then(answer_and_resume(IDOK, &caption, &text))
            .then(once_enabled([&](HWND dialog) {
                focus_in_url = GetFocus() == GetDlgItem(dialog, IDC_PROP_URL);
                press(dialog, IDCANCEL);
            }));
        EXPECT_FALSE(edit(stored));
        EXPECT_EQ(caption, "Ravozorizi");
        EXPECT_EQ(text, test.message);
        EXPECT_TRUE(focus_in_url);
        EXPECT_STREQ(stored->url, "http://www.kernel.org/");
    }
    DialogDriver driver;
    driver.then(fill(nullptr, "  http://www.kernel.org/?q=\"a b\"  ", nullptr));
    ASSERT_TRUE(edit(stored));
    EXPECT_STREQ(stored->url, "http://www.kernel.org/?q=%22a b%22");
    EXPECT_EQ(record("http://www.kernel.org/?q=%22a b%22"), stored);
}

TEST_F(PropertiesDialogTest, TitleIsTrimmedAndKeywordsComeBackAsTyped) {
    Bookmark* stored = record("http://www.kernel.org/");
    set_bookmark_keywords(&app_state->collection, stored, "kernel linux");
    Shown shown;
    DialogDriver driver;
    driver.then(read_into(&shown, fill("  Kernel Archives  ", nullptr, "kernel\r\nsource tree")));
    // A record with keywords shows its own; the offered text is not used.
    ASSERT_TRUE(edit(stored, "offered words"));
    EXPECT_EQ(shown.keywords, "kernel linux");
    EXPECT_STREQ(stored->title, "Kernel Archives");
    ASSERT_NE(keywords, nullptr);
    EXPECT_STREQ(keywords, "kernel\r\nsource tree");
    EXPECT_EQ(driver.dialogs_seen(), 1);  // no duplicate question for its own URL
}

TEST_F(PropertiesDialogTest, DuplicateUrlInOtherCaseAsksAndNoKeepsTheDialogOpen) {
    Bookmark* edited = record("http://www.kernel.org/");
    std::string caption, text;
    DialogDriver driver;
    driver
        .then([](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_PROP_URL, "HTTP://WWW.IETF.ORG/");
            press(dialog, IDOK);
        })
        .then(answer_and_resume(IDNO, &caption, &text))
        .then(once_enabled([](HWND dialog) { press(dialog, IDCANCEL); }));
    EXPECT_FALSE(edit(edited));
    EXPECT_EQ(caption, "Duplicate Linkstone Found");
    EXPECT_EQ(text,
              "A Linkstone with the same URL already exists:\n\nInternet Engineering Task Force\nhttp://www.ietf.org/"
              "\n\nDo you want to replace it?");
    EXPECT_STREQ(edited->url, "http://www.kernel.org/");
    EXPECT_NE(record("http://www.ietf.org/"), nullptr);
    EXPECT_EQ(rows(), 4);
}

TEST_F(PropertiesDialogTest, ReplacingADuplicateDeletesTheOtherAndMovesThisOne) {
    Bookmark* edited = record("http://www.kernel.org/");
    std::string caption, text;
    DialogDriver driver;
    driver.then(fill(nullptr, "HTTP://WWW.IETF.ORG/", nullptr)).then(answer(IDYES, &caption, &text));
    ASSERT_TRUE(edit(edited));
    EXPECT_EQ(caption, "Duplicate Linkstone Found");
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(app_state->collection.records->count, 3u);
    EXPECT_STREQ(edited->url, "HTTP://WWW.IETF.ORG/");
    EXPECT_EQ(record("http://www.ietf.org/"), edited);
    EXPECT_EQ(record("http://www.kernel.org/"), nullptr);
    // The other bookmark's words left the index with it.
    EXPECT_EQ(find_word_entry(app_state->collection.keyword_index, "Engineering"), nullptr);
    idle();
    EXPECT_EQ(rows(), 3);
}

TEST_F(PropertiesDialogTest, ChangedUrlIsFoundAtItsNewPlace) {
    Bookmark* edited = record("http://ui-patterns.com/");
    DialogDriver driver;
    driver.then(fill(nullptr, "http://zzz.example/", nullptr));
    ASSERT_TRUE(edit(edited));
    EXPECT_EQ(record("http://zzz.example/"), edited);
    EXPECT_EQ(record("http://ui-patterns.com/"), nullptr);
    // Every other bookmark is still found by its URL.
    EXPECT_NE(record("http://www.kernel.org/"), nullptr);
    EXPECT_NE(record("http://webdesign.example/"), nullptr);
}

TEST_F(PropertiesDialogTest, OpensCentredOverTheFrame) {
    RECT box = {}, owner = {};
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        GetWindowRect(dialog, &box);
        press(dialog, IDCANCEL);
    });
    SetWindowPos(frame, nullptr, 100, 80, 640, 480, SWP_NOZORDER);
    GetWindowRect(frame, &owner);
    EXPECT_FALSE(edit(record("http://www.ietf.org/")));
    EXPECT_NEAR((box.left + box.right) / 2, (owner.left + owner.right) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
}

// The dialog as the Properties, Add and Fast Add commands reach it.
class PropertiesFlowTest : public CommandsTest {
protected:
    void select_record(const char* url) {
        Bookmark* wanted = record(url);
        for (int row = 0; row < rows(); row++) {
            if (row_record(app_state->list_view, row) == wanted) select_rows({row});
        }
    }
};

TEST_F(PropertiesFlowTest, ReplacingADuplicateRemovesTheOtherRowAndItsWords) {
    select_record("http://www.kernel.org/");
    std::string caption, text;
    DialogDriver driver;
    driver.then(fill(nullptr, "HTTP://WWW.IETF.ORG/", nullptr)).then(answer(IDYES, &caption, &text));
    command(IDM_PROPERTIES);
    EXPECT_EQ(caption, "Duplicate Linkstone Found");
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(app_state->collection.records->count, 3u);
    Bookmark* kept = record("http://www.ietf.org/");
    ASSERT_NE(kept, nullptr);
    EXPECT_STREQ(kept->title, "The Linux Kernel Archives");
    type("Engineering");
    EXPECT_EQ(rows(), 0);
    type("Kernel");
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(row_text(0, 1), "HTTP://WWW.IETF.ORG/");
}

TEST_F(PropertiesFlowTest, FastAddOfAnEditedUrlFindsTheEditedBookmark) {
    Bookmark* kernel = record("http://www.kernel.org/");
    select_record("http://www.kernel.org/");
    DialogDriver driver;
    driver.then(fill(nullptr, "http://fast.example/page", nullptr));
    command(IDM_PROPERTIES);
    ASSERT_EQ(record("http://fast.example/page"), kernel);
    EXPECT_EQ(record("http://www.kernel.org/"), nullptr);
    use_peer_browser();
    browser_shows("http://FAST.example/page", "Kernel Again");
    command(IDM_FAST_ADD);
    EXPECT_EQ(pane(0), "Linkstone already exists: http://FAST.example/page");
    EXPECT_EQ(app_state->collection.records->count, 4u);
}

TEST_F(PropertiesFlowTest, AddingUnderAStoredUrlReplacesThatBookmark) {
    use_peer_browser();  // no browser runs: Add opens an empty bookmark
    std::string caption, text;
    DialogDriver driver;
    driver.then(fill("Patterns, Newly Added", "http://ui-patterns.com/", "ui patterns"))
        .then(answer(IDYES, &caption, &text));
    command(IDM_ADD);
    EXPECT_EQ(caption, "Duplicate Linkstone Found");
    EXPECT_EQ(app_state->collection.records->count, 4u);
    Bookmark* added = record("http://ui-patterns.com/");
    ASSERT_NE(added, nullptr);
    EXPECT_STREQ(added->title, "Patterns, Newly Added");
    EXPECT_EQ(added->last_visit, DATE_UNSET);
    type("patterns");
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(row_text(0, 0), "Patterns, Newly Added");
}

}  // namespace
