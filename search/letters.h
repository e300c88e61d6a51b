// Letters beyond ASCII: which characters make up words, and letter case by
// Unicode's simple mappings as the platform knows them (search/letter_case.h).
// ASCII keeps its own rules everywhere (the callers' byte tables, fold_ascii):
// no character beyond ASCII is ever a case partner of an ASCII one, so ASCII
// words match exactly as they always have.
//
// The rules that make every build give the same words on the same text:
// - Only characters of the Basic Multilingual Plane have kinds and case from
//   the platform (the Windows character types stop there). Planes 2 and 3 hold
//   only ideographs: word characters. Every other character beyond U+FFFF, and
//   the private use area, separates words.
// - Two characters are case partners only when each maps to the other and both
//   take the same number of bytes: one-way mappings (the Kelvin sign, dotted
//   capital I, final sigma, titlecase digraphs) and pairs that change length
//   (sharp s) are left apart, as the systems disagree on them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "search/letter_case.h"

// For any code point, ASCII included (ASCII letters, digits, '_' and '-' are
// word characters; TAB, LF, CR and space are spaces).
CharKind char_kind(uint32_t code_point);

// The case-folded form: the lower-case partner, or the character itself.
uint32_t fold_code_point(uint32_t code_point);

// The character's spellings that fold alike: itself and its case partners,
// in ascending order, without repeats. Returns their number (1 to 3).
size_t case_spellings(uint32_t code_point, uint32_t out[3]);

// Orders two byte strings by their folded characters (invalid bytes compare
// as themselves), then by length: zero means equal apart from letter case.
int compare_folded(const char* a, size_t a_length, const char* b, size_t b_length);

// Whether the word begins with the prefix, ignoring letter case. A shorter
// word never does.
bool starts_with_folded(const char* word, const char* prefix, size_t prefix_length);

// Folds a word in place; folding never changes a character's length.
void fold_word(char* word);
