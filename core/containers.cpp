// The pointer vector, hash table, text buffer and string helpers.
#include "core/containers.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

const uint32_t kInitialSlots = 16;

// Grows by half until the capacity reaches the need; 16 stands in for 0.
uint32_t grown_capacity(uint32_t capacity, uint32_t needed) {
    if (capacity == 0) capacity = 16;
    while (capacity < needed) capacity += capacity / 2;
    return capacity;
}

const size_t kTextHeader = offsetof(TextBlock, text);

}  // namespace

void vec_init(PtrVector* vec) {
    vec->items = static_cast<void**>(malloc(kInitialSlots * sizeof(void*)));
    vec->capacity = kInitialSlots;
    vec->count = 0;
}

void vec_release(PtrVector* vec) { free(vec->items); }

PtrVector* vec_create() {
    PtrVector* vec = static_cast<PtrVector*>(malloc(sizeof(PtrVector)));
    vec_init(vec);
    return vec;
}

void vec_destroy(PtrVector* vec) {
    if (!vec) return;
    vec_release(vec);
    free(vec);
}

void vec_reserve(PtrVector* vec, uint32_t needed) {
    if (vec->capacity > needed) return;
    uint32_t capacity = grown_capacity(vec->capacity, needed);
    vec->items = static_cast<void**>(realloc(vec->items, capacity * sizeof(void*)));
    vec->capacity = capacity;
}

void vec_assign(PtrVector* vec, void* const* items, uint32_t count) {
    const uint32_t capacity = count > 2 ? count : 2;
    free(vec->items);
    vec->items = static_cast<void**>(malloc(capacity * sizeof(void*)));
    if (count > 0) memcpy(vec->items, items, count * sizeof(void*));
    vec->capacity = capacity;
    vec->count = count;
}

void vec_append(PtrVector* vec, void* element) {
    if (vec->count == vec->capacity) vec_reserve(vec, vec->count + 1);
    vec->items[vec->count++] = element;
}

void vec_insert_at(PtrVector* vec, uint32_t index, void* element) {
    if (vec->count == vec->capacity) vec_reserve(vec, vec->count + 1);
    memmove(vec->items + index + 1, vec->items + index, (vec->count - index) * sizeof(void*));
    vec->items[index] = element;
    vec->count++;
}

void vec_remove_at(PtrVector* vec, uint32_t index) {
    memmove(vec->items + index, vec->items + index + 1, (vec->count - index - 1) * sizeof(void*));
    vec->count--;
}

int vec_index_of(const PtrVector* vec, const void* element) {
    for (uint32_t i = 0; i < vec->count; i++) {
        if (vec->items[i] == element) return static_cast<int>(i);
    }
    return -1;
}

bool vec_search(const PtrVector* vec, const void* key, CompareFn compare, uint32_t* position) {
    if (vec->count == 0) {
        *position = 0;
        return false;
    }
    // Bisect down to at most four candidates, then finish linearly.
    uint32_t lo = 0;
    uint32_t hi = vec->count - 1;
    while (lo + 3 < hi) {
        uint32_t mid = (lo + hi) / 2;
        int r = compare(vec->items[mid], key);
        if (r > 0) {
            hi = mid - 1;
        } else if (r == 0) {
            *position = mid;
            return true;
        } else {
            lo = mid + 1;
        }
    }
    for (uint32_t i = lo; i <= hi; i++) {
        int r = compare(vec->items[i], key);
        if (r >= 0) {
            *position = i;
            return r == 0;
        }
    }
    *position = hi + 1;
    return false;
}

int vec_insert_sorted(PtrVector* vec, void* element, CompareFn compare) {
    uint32_t position;
    if (vec_search(vec, element, compare, &position)) return 1;
    vec_insert_at(vec, position, element);
    return 0;
}

void vec_sort(PtrVector* vec, CompareFn compare) {
    std::sort(vec->items, vec->items + vec->count,
              [compare](const void* a, const void* b) { return compare(a, b) < 0; });
}

void vec_merge_sorted(PtrVector* into, PtrVector* from, CompareFn compare) {
    uint32_t i = into->count;
    uint32_t j = from->count;
    vec_reserve(into, i + j);
    into->count = i + j;
    // From the back, so that every element moves once and nothing is overwritten
    // before it has moved.
    for (uint32_t k = i + j; j > 0;) {
        if (i > 0 && compare(into->items[i - 1], from->items[j - 1]) > 0) {
            into->items[--k] = into->items[--i];
        } else {
            into->items[--k] = from->items[--j];
        }
    }
    from->count = 0;
}

namespace {

const uint32_t kInitialTableSlots = 16;

void table_allocate(PtrTable* table, uint32_t capacity) {
    table->slots = static_cast<void**>(calloc(capacity, sizeof(void*)));
    table->hashes = static_cast<uint32_t*>(malloc(capacity * sizeof(uint32_t)));
    table->capacity = capacity;
}

void table_place(PtrTable* table, uint32_t hash, void* element) {
    const uint32_t mask = table->capacity - 1;
    uint32_t i = hash & mask;
    while (table->slots[i]) i = (i + 1) & mask;
    table->slots[i] = element;
    table->hashes[i] = hash;
}

}  // namespace

PtrTable* table_create() {
    PtrTable* table = static_cast<PtrTable*>(malloc(sizeof(PtrTable)));
    table_allocate(table, kInitialTableSlots);
    table->count = 0;
    return table;
}

void table_destroy(PtrTable* table) {
    if (!table) return;
    free(table->slots);
    free(table->hashes);
    free(table);
}

void* table_find(const PtrTable* table, uint32_t hash, const void* key, CompareFn compare) {
    const uint32_t mask = table->capacity - 1;
    for (uint32_t i = hash & mask; table->slots[i]; i = (i + 1) & mask) {
        if (table->hashes[i] == hash && compare(table->slots[i], key) == 0) return table->slots[i];
    }
    return nullptr;
}

void table_insert(PtrTable* table, uint32_t hash, void* element) {
    if (2 * (table->count + 1) > table->capacity) {
        void** old_slots = table->slots;
        uint32_t* old_hashes = table->hashes;
        const uint32_t old_capacity = table->capacity;
        table_allocate(table, 2 * old_capacity);
        for (uint32_t i = 0; i < old_capacity; i++) {
            if (old_slots[i]) table_place(table, old_hashes[i], old_slots[i]);
        }
        free(old_slots);
        free(old_hashes);
    }
    table_place(table, hash, element);
    table->count++;
}

bool table_remove(PtrTable* table, uint32_t hash, const void* element) {
    const uint32_t mask = table->capacity - 1;
    uint32_t hole = hash & mask;
    while (table->slots[hole] != element) {
        if (!table->slots[hole]) return false;
        hole = (hole + 1) & mask;
    }
    // Later members of the probe run move back into the hole when their home
    // slot does not lie between the hole and where they are, so that every
    // element stays reachable from its home without markers for removed ones.
    for (uint32_t i = (hole + 1) & mask; table->slots[i]; i = (i + 1) & mask) {
        const uint32_t home = table->hashes[i] & mask;
        const bool reachable = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
        if (reachable) continue;
        table->slots[hole] = table->slots[i];
        table->hashes[hole] = table->hashes[i];
        hole = i;
    }
    table->slots[hole] = nullptr;
    table->count--;
    return true;
}

TextBlock tb_shared_empty = {0, 0, {0}};

void tb_reserve(TextBuffer* tb, uint32_t needed) {
    TextBlock* old = *tb;
    if (needed < old->capacity) return;
    uint32_t n = grown_capacity(old->capacity, needed);
    TextBlock* block = static_cast<TextBlock*>(malloc(kTextHeader + n + 1));
    memcpy(block, old, kTextHeader + old->length + 1);
    block->capacity = n + 1;
    if (old != &tb_shared_empty) free(old);
    *tb = block;
}

void tb_assign(TextBuffer* tb, const char* text) {
    uint32_t length = static_cast<uint32_t>(strlen(text));
    if ((*tb)->capacity <= length) tb_reserve(tb, length + 1);
    memcpy((*tb)->text, text, length + 1);
    (*tb)->length = length;
}

void tb_append(TextBuffer* tb, const char* bytes, uint32_t count) {
    uint32_t length = (*tb)->length + count;
    if ((*tb)->capacity <= length) tb_reserve(tb, length);
    memcpy((*tb)->text + (*tb)->length, bytes, count);
    (*tb)->length = length;
    (*tb)->text[length] = '\0';
}

void tb_append_str(TextBuffer* tb, const char* text) { tb_append(tb, text, static_cast<uint32_t>(strlen(text))); }

void tb_replace_all(TextBuffer* tb, const char* pattern, const char* replacement) {
    size_t pattern_length = strlen(pattern);
    uint32_t replacement_length = static_cast<uint32_t>(strlen(replacement));
    TextBuffer result = tb_empty();
    const char* text = (*tb)->text;
    const char* rest = text;
    for (const char* hit; (hit = strstr(rest, pattern)) != nullptr; rest = hit + pattern_length) {
        if (hit > rest) tb_append(&result, rest, static_cast<uint32_t>(hit - rest));
        tb_append(&result, replacement, replacement_length);
    }
    tb_append(&result, rest, static_cast<uint32_t>(text + (*tb)->length - rest));
    tb_free(tb);
    *tb = result;
}

char* tb_take(TextBuffer* tb) {
    TextBlock* block = *tb;
    const uint32_t length = block->length;
    char* text;
    if (block == &tb_shared_empty) {
        text = static_cast<char*>(malloc(1));
        text[0] = '\0';
    } else {
        // The text moves to the front of its own block, which the caller then
        // owns: no second block and no copy into it. Much spare room is given back.
        text = reinterpret_cast<char*>(block);
        memmove(text, block->text, length + 1);
        if (block->capacity - length > 4096) text = static_cast<char*>(realloc(text, length + 1));
    }
    *tb = &tb_shared_empty;
    return text;
}

void tb_free(TextBuffer* tb) {
    if (*tb != &tb_shared_empty) free(*tb);
    *tb = &tb_shared_empty;
}

void tb_clear(TextBuffer* tb) {
    if (*tb == &tb_shared_empty) return;
    (*tb)->length = 0;
    (*tb)->text[0] = '\0';
}

char* str_dup(const char* text) { return str_dup_span(text, strlen(text)); }

char* str_dup_span(const char* start, size_t length) {
    char* copy = static_cast<char*>(malloc(length + 1));
    memcpy(copy, start, length);
    copy[length] = '\0';
    return copy;
}

char* trim_in_place(char* text) {
    char* start = text;
    while (*start && isspace(static_cast<unsigned char>(*start))) start++;
    if (start != text) memmove(text, start, strlen(start) + 1);
    size_t length = strlen(text);
    while (length > 0 && isspace(static_cast<unsigned char>(text[length - 1]))) length--;
    text[length] = '\0';
    return text;
}

int str_compare_nocase(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (;; p++, q++) {
        // Equal bytes need no folding; URLs compared in a search share long prefixes.
        if (*p == *q) {
            if (*p == 0) return 0;
            continue;
        }
        unsigned char x = static_cast<unsigned char>(fold_ascii(static_cast<char>(*p)));
        unsigned char y = static_cast<unsigned char>(fold_ascii(static_cast<char>(*q)));
        if (x != y) return x - y;
    }
}

namespace {

const uint32_t kFnvOffset = 2166136261u;
const uint32_t kFnvPrime = 16777619u;

}  // namespace

uint32_t hash_text(const char* text) {
    uint32_t hash = kFnvOffset;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p++) {
        hash = (hash ^ *p) * kFnvPrime;
    }
    return hash;
}

uint32_t hash_text_nocase(const char* text) {
    uint32_t hash = kFnvOffset;
    for (const char* p = text; *p; p++) {
        hash = (hash ^ static_cast<unsigned char>(fold_ascii(*p))) * kFnvPrime;
    }
    return hash;
}
