// The Keyword Dictionary dialog.
#include "app/keyword_dictionary_dialog.h"

void show_keyword_dictionary(HWND /*owner*/, bool /*case_sensitive*/, const PtrVector* /*words*/) {}

void fill_dictionary_list(HWND /*dialog*/, bool /*case_sensitive*/, const PtrVector* /*words*/) {}
