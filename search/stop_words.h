// The stop-word list the keyword index holds; is_stop_word is in words.h.
#pragma once

#include "collection/containers.h"

// Owned copies in case-insensitive order, without duplicates.
PtrVector* create_stop_word_list();
void free_stop_word_list(PtrVector* list);
