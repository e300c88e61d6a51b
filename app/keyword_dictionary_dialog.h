// The Keyword Dictionary: every word of the keyword index in a list, either as
// spelled or folded to lower case. It changes nothing.
#pragma once

#include <windows.h>

#include "core/containers.h"

// words: the index's word list (list_index_words), kept by the caller.
void show_keyword_dictionary(HWND owner, bool case_sensitive, const PtrVector* words);

// Fills the dialog's list and its count text for the given case mode.
void fill_dictionary_list(HWND dialog, bool case_sensitive, const PtrVector* words);
