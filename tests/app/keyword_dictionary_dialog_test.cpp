// The Keyword Dictionary: both case views, the count, and the cut of long words.
#include "app/keyword_dictionary_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/resource.h"
#include "tests/app/app_state_fixture.h"
#include "tests/app/dialog_driver.h"

namespace {

class KeywordDictionaryTest : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        words = vec_create();
    }
    void TearDown() override {
        vec_destroy(words);
        AppStateTest::TearDown();
    }
    // Words go in index order: byte order, so capitals first.
    void add(const char* word) { vec_append(words, const_cast<char*>(word)); }
    PtrVector* words = nullptr;
};

struct View {
    std::vector<std::string> rows;
    std::string count;
    bool case_box = false;
};

View read_view(HWND dialog) {
    View view;
    HWND list = GetDlgItem(dialog, IDC_DICT_WORDS);
    int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < rows; i++) {
        std::vector<char> text(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1);
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        view.rows.push_back(text.data());
    }
    view.count = item_text(dialog, IDC_DICT_COUNT);
    view.case_box = IsDlgButtonChecked(dialog, IDC_DICT_CASE) == BST_CHECKED;
    return view;
}

TEST_F(KeywordDictionaryTest, CaseSwitchFoldsSpellingsIntoOneRow) {
    add("WEB");
    add("Web");
    add("design");
    add("web");
    View exact, folded;
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        exact = read_view(dialog);
        SendDlgItemMessageA(dialog, IDC_DICT_CASE, BM_CLICK, 0, 0);
        folded = read_view(dialog);
        press(dialog, IDOK);
    });
    show_keyword_dictionary(nullptr, true, words);
    EXPECT_TRUE(exact.case_box);
    EXPECT_EQ(exact.rows.size(), 4u);
    EXPECT_EQ(exact.count, "4 words");
    EXPECT_FALSE(folded.case_box);
    EXPECT_EQ(folded.rows, (std::vector<std::string>{"design", "web"}));
    EXPECT_EQ(folded.count, "2 words");
}

TEST_F(KeywordDictionaryTest, ReopeningStartsFromTheGivenCaseMode) {
    add("Web");
    add("web");
    View first, second;
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        first = read_view(dialog);
        SendDlgItemMessageA(dialog, IDC_DICT_CASE, BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    show_keyword_dictionary(nullptr, false, words);
    driver.then([&](HWND dialog) {
        second = read_view(dialog);
        press(dialog, IDOK);
    });
    show_keyword_dictionary(nullptr, false, words);
    EXPECT_EQ(first.rows, (std::vector<std::string>{"web"}));
    EXPECT_EQ(first.count, "1 words");
    EXPECT_FALSE(second.case_box);
    EXPECT_EQ(second.rows, first.rows);
}

TEST_F(KeywordDictionaryTest, LongWordsAreCutOnlyInTheFoldedView) {
    std::string long_word(300, 'X');
    long_word += "tail";
    add(long_word.c_str());
    View exact, folded;
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        exact = read_view(dialog);
        fill_dictionary_list(dialog, false, words);
        folded = read_view(dialog);
        press(dialog, IDOK);
    });
    show_keyword_dictionary(nullptr, true, words);
    ASSERT_EQ(exact.rows.size(), 1u);
    EXPECT_EQ(exact.rows[0], long_word);
    ASSERT_EQ(folded.rows.size(), 1u);
    EXPECT_EQ(folded.rows[0], std::string(255, 'x'));
}

TEST_F(KeywordDictionaryTest, EmptyIndexShowsNoWords) {
    View view;
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        view = read_view(dialog);
        press(dialog, IDCANCEL);  // Escape closes it too
    });
    show_keyword_dictionary(nullptr, false, words);
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.count, "0 words");
}

}  // namespace
