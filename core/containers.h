// The few containers every part of the program keeps its lists and texts in:
// the pointer vector, the hash table, the text buffer and string helpers.
// None of them owns the objects its pointers refer to; none is thread-safe.
// Every owned string handed out here is allocated with malloc and freed with free.
#pragma once

#include <cstddef>
#include <cstdint>

// An ordered array of opaque pointers, optionally kept sorted by a comparison.
struct PtrVector {
    void** items;
    uint32_t capacity;
    uint32_t count;
};

// Compares an element (always first) with a key: negative, zero or positive.
using CompareFn = int (*)(const void* element, const void* key);

PtrVector* vec_create();
void vec_destroy(PtrVector* vec);
// The same for a vector header held inside another block: vec_init gives it
// 16 empty slots, vec_release frees the slots only.
void vec_init(PtrVector* vec);
void vec_release(PtrVector* vec);
void vec_reserve(PtrVector* vec, uint32_t needed);
// Makes the vector hold exactly the given elements, with room for no more
// (two slots at least: growth adds half the capacity, which is nothing for one).
void vec_assign(PtrVector* vec, void* const* items, uint32_t count);
void vec_append(PtrVector* vec, void* element);
void vec_insert_at(PtrVector* vec, uint32_t index, void* element);
void vec_remove_at(PtrVector* vec, uint32_t index);
int vec_index_of(const PtrVector* vec, const void* element);
// Binary search; *position receives the match or the insertion point in every case.
bool vec_search(const PtrVector* vec, const void* key, CompareFn compare, uint32_t* position);
// Returns 1 (and inserts nothing) when an equal element is present, else inserts and returns 0.
int vec_insert_sorted(PtrVector* vec, void* element, CompareFn compare);
// Sorts the whole vector by a comparison of two elements (not stable: meant
// for vectors whose elements never compare equal).
void vec_sort(PtrVector* vec, CompareFn compare);
// Moves every element of `from`, sorted as `into` is, into `into` in one pass,
// and empties `from`. No element of one may compare equal to one of the other.
void vec_merge_sorted(PtrVector* into, PtrVector* from, CompareFn compare);

// A hash set of opaque pointers for finding elements by a key in constant
// time. The caller computes every hash and supplies the comparison with a key.
struct PtrTable {
    void** slots;       // null for a free slot; linear probing
    uint32_t* hashes;   // the hash each occupied slot's element was stored under
    uint32_t capacity;  // a power of two, at most half full
    uint32_t count;
};

PtrTable* table_create();
void table_destroy(PtrTable* table);
// The element stored under the hash for which compare(element, key) is 0, or null.
void* table_find(const PtrTable* table, uint32_t hash, const void* key, CompareFn compare);
// Stores an element, which must not be in the table yet, under its hash.
void table_insert(PtrTable* table, uint32_t hash, void* element);
// Removes that very element, stored under the hash; false when it is not there.
bool table_remove(PtrTable* table, uint32_t hash, const void* element);

// A growable byte string. The handle points at a heap block, or at the shared
// empty block, which is never written or freed.
struct TextBlock {
    uint32_t capacity;  // bytes of room including the terminating zero
    uint32_t length;
    char text[1];
};
using TextBuffer = TextBlock*;

extern TextBlock tb_shared_empty;

inline TextBuffer tb_empty() { return &tb_shared_empty; }
inline const char* tb_text(TextBuffer tb) { return tb->text; }
inline uint32_t tb_length(TextBuffer tb) { return tb->length; }

void tb_reserve(TextBuffer* tb, uint32_t needed);
void tb_assign(TextBuffer* tb, const char* text);
void tb_append(TextBuffer* tb, const char* bytes, uint32_t count);
void tb_append_str(TextBuffer* tb, const char* text);
// Kept inline: the bookmark reader calls it once per input byte.
inline void tb_append_char(TextBuffer* tb, char c) {
    TextBlock* b = *tb;
    uint32_t length = b->length + 1;
    if (b->capacity <= length) {
        tb_reserve(tb, length);
        b = *tb;
    }
    b->text[length - 1] = c;
    b->length = length;
    b->text[length] = '\0';
}
// Replaces every occurrence of a non-empty pattern, never rescanning inserted text.
void tb_replace_all(TextBuffer* tb, const char* pattern, const char* replacement);
// Returns an owned copy of the text and leaves the handle at the shared empty block.
char* tb_take(TextBuffer* tb);
void tb_free(TextBuffer* tb);
void tb_clear(TextBuffer* tb);

// Owned copy of a zero-terminated string.
char* str_dup(const char* text);
// Owned, zero-terminated copy of the given bytes.
char* str_dup_span(const char* start, size_t length);
// Removes leading and trailing white space in place; returns its argument.
char* trim_in_place(char* text);

// Letter case folded for A-Z only, whatever the locale.
constexpr char fold_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
// A-Z or a-z, whatever the locale.
constexpr bool is_ascii_letter(char c) { return fold_ascii(c) >= 'a' && fold_ascii(c) <= 'z'; }
int str_compare_nocase(const char* a, const char* b);
// Hashes of a string's bytes, and of its bytes with A-Z folded (equal for any
// two strings that str_compare_nocase finds equal).
uint32_t hash_text(const char* text);
uint32_t hash_text_nocase(const char* text);
