// The containers against the standard library's under random operations.
// (Sorting and merging: the collection's batches.)
#include "core/containers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/ansi_text.h"
#include "core/utf8.h"

namespace {

void* ptr(uintptr_t n) { return reinterpret_cast<void*>(n); }

int compare_ints(const void* element, const void* key) {
    return static_cast<int>(reinterpret_cast<intptr_t>(element) - reinterpret_cast<intptr_t>(key));
}

std::vector<void*> items_of(const PtrVector* v) { return std::vector<void*>(v->items, v->items + v->count); }

TEST(PtrVector, RandomOperationsMatchTheStandardVector) {
    std::mt19937 rng(7);
    PtrVector* v = vec_create();
    PtrVector* sorted = vec_create();
    std::vector<void*> model, sorted_model;
    for (int step = 0; step < 4000; step++) {
        void* const n = ptr(1 + rng() % 300);
        const uint32_t at = static_cast<uint32_t>(rng() % (model.size() + 1));
        const int kind = rng() % 4;
        if (kind == 0) {
            vec_append(v, n);
            model.push_back(n);
        } else if (kind == 1) {
            vec_insert_at(v, at, n);
            model.insert(model.begin() + at, n);
        } else if (kind == 2 && at < model.size()) {
            vec_remove_at(v, at);
            model.erase(model.begin() + at);
        } else if (kind == 3) {
            const auto it = std::find(model.begin(), model.end(), n);
            ASSERT_EQ(vec_index_of(v, n), it == model.end() ? -1 : static_cast<int>(it - model.begin()));
        }
        ASSERT_EQ(items_of(v), model);

        const auto lower = std::lower_bound(sorted_model.begin(), sorted_model.end(), n);
        const bool present = lower != sorted_model.end() && *lower == n;
        uint32_t position = 999;
        ASSERT_EQ(vec_search(sorted, n, compare_ints, &position), present);
        ASSERT_EQ(position, static_cast<uint32_t>(lower - sorted_model.begin()));
        if (step % 3 == 0) {
            ASSERT_EQ(vec_insert_sorted(sorted, n, compare_ints), present ? 1 : 0);
            if (!present) sorted_model.insert(lower, n);
            ASSERT_EQ(items_of(sorted), sorted_model);
        }
    }
    vec_destroy(v);
    vec_destroy(sorted);
}

// Few distinct hashes, so that probe runs grow long, wrap around the end of
// the slots and get holes punched into them by removals.
uint32_t crowded_hash(uintptr_t n) { return static_cast<uint32_t>(n % 7) * 0x9E3779B1u; }

TEST(PtrTable, FindsExactlyWhatIsStoredThroughGrowthAndRemovals) {
    PtrTable* table = table_create();
    std::set<uintptr_t> model;
    std::mt19937 rng(5);
    for (int step = 0; step < 6000; step++) {
        const uintptr_t n = 1 + rng() % 400;
        const bool present = model.count(n) != 0;
        if (!present && rng() % 3 != 0) {
            table_insert(table, crowded_hash(n), ptr(n));
            model.insert(n);
        } else {
            EXPECT_EQ(table_remove(table, crowded_hash(n), ptr(n)), present);
            model.erase(n);
        }
        ASSERT_EQ(table->count, model.size());
        ASSERT_LE(2 * table->count, table->capacity);
        if (step % 97 != 0) continue;
        for (uintptr_t key = 1; key <= 400; key++) {
            void* found = table_find(table, crowded_hash(key), ptr(key), compare_ints);
            ASSERT_EQ(found, model.count(key) ? ptr(key) : nullptr) << "step " << step << " key " << key;
        }
    }
    // Removal takes that very element, not another that compares equal.
    int first = 1, second = 1;
    auto compare_values = [](const void* a, const void* b) {
        return *static_cast<const int*>(a) - *static_cast<const int*>(b);
    };
    table_insert(table, 42, &first);
    table_insert(table, 42, &second);
    EXPECT_TRUE(table_remove(table, 42, &first));
    EXPECT_FALSE(table_remove(table, 42, &first));
    EXPECT_EQ(table_find(table, 42, &first, compare_values), &second);
    table_destroy(table);
}

TEST(TextBuffer, RandomEditsMatchTheStandardString) {
    TextBuffer tb = tb_empty();
    std::string model;
    std::mt19937 rng(3);
    for (int i = 0; i < 3000; i++) {
        const char c = static_cast<char>('a' + rng() % 3);
        const int kind = rng() % 7;
        if (kind == 0) {
            tb_assign(&tb, model.substr(0, rng() % (model.size() + 1)).c_str());
            model = tb_text(tb);
        } else if (kind == 1 && model.size() > 200) {
            tb_clear(&tb);
            model.clear();
        } else if (kind == 2) {
            tb_append_char(&tb, c);
            model += c;
        } else if (kind > 2) {
            tb_append(&tb, "0123456789", static_cast<uint32_t>(i % 11));
            model.append("0123456789", static_cast<size_t>(i % 11));
        }
        ASSERT_EQ(std::string(tb_text(tb)), model);
        ASSERT_EQ(tb_length(tb), model.size());
        ASSERT_LT(tb->length, tb->capacity);
    }
    char* taken = tb_take(&tb);
    EXPECT_EQ(taken, model);
    EXPECT_EQ(tb, tb_empty());
    free(taken);
    // The shared empty block is never written or freed.
    tb_clear(&tb);
    tb_free(&tb);
    taken = tb_take(&tb);
    EXPECT_STREQ(taken, "");
    EXPECT_NE(taken, tb_text(tb_empty()));
    free(taken);
    EXPECT_EQ(tb_shared_empty.capacity, 0u);
    EXPECT_EQ(tb_shared_empty.length, 0u);
}

TEST(Strings, CompareAndHashesAgreeWithFoldedModel) {
    const char alphabet[] = "aAbBzZ@[`{/\x80\xC4\xE4";
    std::mt19937 rng(3);
    auto random_text = [&](std::string prefix) {
        for (int k = static_cast<int>(rng() % 5); k > 0; k--) prefix += alphabet[rng() % (sizeof alphabet - 1)];
        return prefix;
    };
    auto folded = [](std::string s) {
        for (char& ch : s) ch = fold_ascii(ch);
        return s;
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (int i = 0; i < 20000; i++) {
        std::string a = random_text("");
        std::string b = random_text(rng() % 2 ? a.substr(0, rng() % (a.size() + 1)) : "");
        const int expected = sign(folded(a).compare(folded(b)));
        ASSERT_EQ(sign(str_compare_nocase(a.c_str(), b.c_str())), expected) << a << " / " << b;
        if (expected == 0) {
            ASSERT_EQ(hash_text_nocase(a.c_str()), hash_text_nocase(b.c_str())) << a << " / " << b;
        }
    }
    EXPECT_NE(hash_text("Web"), hash_text("web"));
}

// Valid sequences only, as the letters and the scanner rely on; positions in
// UTF-16 units, as Windows controls count them, with a surrogate pair as two.
TEST(Utf8, DecodesValidSequencesOnlyAndCountsUtf16Units) {
    const struct {
        const char* bytes;
        size_t length;
        uint32_t code_point;
    } cases[] = {
        {"a", 1, 'a'},      {"\xC2\x80", 2, 0x80}, {"\xE2\x82\xAC", 3, 0x20AC},   {"\xF0\x9F\x98\x80", 4, 0x1F600},
        {"\x80", 0, 0},     {"\xC0\xAF", 0, 0},    {"\xED\xA0\x80", 0, 0},        {"\xF4\x90\x80\x80", 0, 0},
        {"\xE2\x82", 0, 0}, {"\xC3", 0, 0},        {"\xF8\x88\x80\x80\x80", 0, 0}};
    for (const auto& c : cases) {
        uint32_t code_point = 0;
        EXPECT_EQ(utf8_decode(c.bytes, &code_point), c.length) << c.bytes;
        if (c.length) {
            EXPECT_EQ(code_point, c.code_point) << c.bytes;
        }
        EXPECT_EQ(is_valid_utf8(c.bytes, strlen(c.bytes)), c.length == strlen(c.bytes)) << c.bytes;
    }
    const char* text = "a\xC3\xA4\xF0\x9F\x98\x80\xFF\x62";  // a, ä, U+1F600, a stray byte, b
    const size_t offsets[] = {0, 1, 3, 7, 7, 8, 9, 9};
    for (size_t units = 0; units < 8; units++) EXPECT_EQ(utf8_offset_of_utf16(text, units), offsets[units]) << units;
}

// Windows-1252 (the test systems' code page). Three bytes a character fill
// the block to its last byte; the bytes come unterminated in a block of their size.
TEST(AnsiText, ConvertsEachByteAndFillsTheBlockToItsLimit) {
    const struct {
        std::string ansi, utf8;
    } cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
        {"\x80", "\xE2\x82\xAC"},
        {"\x80\x93\x94\x85\x99", "\xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\xA6\xE2\x84\xA2"},
        {"a\x81\x80", "a\xC2\x81\xE2\x82\xAC"},  // a byte the code page leaves undefined stands for itself
    };
    for (const auto& c : cases) {
        std::vector<char> bytes(c.ansi.begin(), c.ansi.end());
        char* converted = ansi_to_utf8(bytes.data(), bytes.size());
        EXPECT_EQ(converted, c.utf8) << c.ansi;
        free(converted);
    }
}

}  // namespace
