// The stop-word list the keyword index holds; is_stop_word is in words.h.
#pragma once

#include "core/containers.h"

// Owned copies in case-insensitive order, without duplicates.
PtrVector* create_stop_word_list();
void free_stop_word_list(PtrVector* list);
// The list's words (not copied) under hash_text_nocase: is_stop_word runs for
// every title word of every bookmark read. Destroy with table_destroy.
PtrTable* create_stop_word_table(const PtrVector* list);
