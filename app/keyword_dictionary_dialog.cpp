// The Keyword Dictionary dialog.
#include "app/keyword_dictionary_dialog.h"

#include <cstdio>
#include <cstdlib>

#include "app/app_state.h"
#include "app/dialog_helpers.h"
#include "app/resource.h"
#include "search/keyword_index.h"

namespace {

// The list box takes rows of up to this many bytes in the folded view.
const size_t kMaxShownWord = 255;

struct DictionaryDialog {
    bool case_sensitive;
    const PtrVector* words;
};

// Adds each spelling once, ignoring case, folded to lower case and cut to
// kMaxShownWord bytes. Returns the number of rows added.
unsigned add_folded_words(HWND list, const PtrVector* words) {
    PtrVector* folded = fold_word_list(words, kMaxShownWord);
    const unsigned count = folded->count;
    for (uint32_t i = 0; i < folded->count; i++) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folded->items[i]));
        free(folded->items[i]);
    }
    vec_destroy(folded);
    return count;
}

BOOL on_init_dialog(HWND dialog, DictionaryDialog* data) {
    center_window(dialog, GetWindow(dialog, GW_OWNER));
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    CheckDlgButton(dialog, IDC_DICT_CASE, data->case_sensitive ? BST_CHECKED : BST_UNCHECKED);
    fill_dictionary_list(dialog, data->case_sensitive, data->words);
    return TRUE;
}

void on_case_switch(HWND dialog) {
    const DictionaryDialog* data = reinterpret_cast<const DictionaryDialog*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    fill_dictionary_list(dialog, IsDlgButtonChecked(dialog, IDC_DICT_CASE) == BST_CHECKED, data->words);
}

INT_PTR CALLBACK dictionary_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return on_init_dialog(dialog, reinterpret_cast<DictionaryDialog*>(lparam));
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, 1);
            } else if (LOWORD(wparam) == IDC_DICT_CASE && HIWORD(wparam) == BN_CLICKED) {
                on_case_switch(dialog);
            }
            return TRUE;
        case WM_CLOSE:
            EndDialog(dialog, 1);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void show_keyword_dictionary(HWND owner, bool case_sensitive, const PtrVector* words) {
    DictionaryDialog data = {case_sensitive, words};
    DialogBoxParamA(app_instance, MAKEINTRESOURCEA(IDD_DICTIONARY), owner, dictionary_proc,
                    reinterpret_cast<LPARAM>(&data));
}

void fill_dictionary_list(HWND dialog, bool case_sensitive, const PtrVector* words) {
    HWND list = GetDlgItem(dialog, IDC_DICT_WORDS);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    unsigned count = 0;
    if (case_sensitive) {
        for (uint32_t i = 0; i < words->count; i++) {
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(words->items[i]));
            count++;
        }
    } else {
        count = add_folded_words(list, words);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, FALSE);

    char text[32];
    snprintf(text, sizeof text, "%u words", count);
    SetDlgItemTextA(dialog, IDC_DICT_COUNT, text);
}
