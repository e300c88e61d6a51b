// Growth rules, sorted search, sort and merge, the hash table and the shared
// empty text buffer.
#include "core/containers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

void* ptr(uintptr_t n) { return reinterpret_cast<void*>(n); }

struct VectorDeleter {
    void operator()(PtrVector* v) const { vec_destroy(v); }
};
using Vector = std::unique_ptr<PtrVector, VectorDeleter>;

Vector vector_of(std::initializer_list<uintptr_t> values) {
    Vector v(vec_create());
    for (uintptr_t n : values) vec_append(v.get(), ptr(n));
    return v;
}

int compare_ints(const void* element, const void* key) {
    return static_cast<int>(reinterpret_cast<intptr_t>(element) - reinterpret_cast<intptr_t>(key));
}

}  // namespace

TEST(PtrVector, GrowsByHalfFromSixteenSlots) {
    Vector v(vec_create());
    std::vector<uint32_t> capacities;
    for (uintptr_t i = 1; i <= 200; i++) {
        vec_append(v.get(), ptr(i));
        if (capacities.empty() || capacities.back() != v->capacity) capacities.push_back(v->capacity);
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{16, 24, 36, 54, 81, 121, 181, 271}));
    for (uintptr_t i = 0; i < 200; i++) ASSERT_EQ(v->items[i], ptr(i + 1));
    vec_reset(v.get());
    EXPECT_EQ(v->count, 0u);
    EXPECT_EQ(v->capacity, 16u);
}

TEST(PtrVector, AssignHoldsExactlyTheElementsAndGrowsOnFromThere) {
    Vector v = vector_of({9, 9, 9, 9, 9});
    void* items[] = {ptr(1), ptr(2), ptr(3)};
    vec_assign(v.get(), items, 3);
    EXPECT_EQ(v->count, 3u);
    EXPECT_EQ(v->capacity, 3u);
    vec_append(v.get(), ptr(4));
    EXPECT_EQ(v->capacity, 4u);
    for (uintptr_t i = 0; i < 4; i++) EXPECT_EQ(v->items[i], ptr(i + 1));
    vec_assign(v.get(), nullptr, 0);
    EXPECT_EQ(v->count, 0u);
    EXPECT_EQ(v->capacity, 2u);
    for (uintptr_t i = 1; i <= 5; i++) vec_append(v.get(), ptr(i));
    EXPECT_EQ(v->count, 5u);
    EXPECT_EQ(v->items[4], ptr(5));
}

TEST(PtrVector, InsertRemoveAndIndexOf) {
    Vector v = vector_of({1, 2, 4});
    vec_insert_at(v.get(), 2, ptr(3));
    vec_insert_at(v.get(), 4, ptr(5));
    vec_insert_at(v.get(), 0, ptr(0));
    ASSERT_EQ(v->count, 6u);
    for (uintptr_t i = 0; i < 6; i++) EXPECT_EQ(v->items[i], ptr(i));
    vec_remove_at(v.get(), 0);
    vec_remove_at(v.get(), 4);
    EXPECT_EQ(v->count, 4u);
    EXPECT_EQ(vec_index_of(v.get(), ptr(3)), 2);
    EXPECT_EQ(vec_index_of(v.get(), ptr(5)), -1);
    EXPECT_EQ(vec_index_of(v.get(), ptr(0)), -1);
}

TEST(PtrVector, SearchGivesPositionInEveryCase) {
    uint32_t position = 99;
    Vector empty(vec_create());
    EXPECT_FALSE(vec_search(empty.get(), ptr(5), nullptr, &position));
    EXPECT_EQ(position, 0u);

    Vector v = vector_of({10, 20, 30});
    EXPECT_FALSE(vec_search(v.get(), ptr(25), nullptr, &position));
    EXPECT_EQ(position, 2u);
    EXPECT_TRUE(vec_search(v.get(), ptr(20), nullptr, &position));
    EXPECT_EQ(position, 1u);
    EXPECT_FALSE(vec_search(v.get(), ptr(35), nullptr, &position));
    EXPECT_EQ(position, 3u);
    EXPECT_FALSE(vec_search(v.get(), ptr(5), nullptr, &position));
    EXPECT_EQ(position, 0u);
}

TEST(PtrVector, SearchAgreesWithLinearScanOnLongVectors) {
    // Odd numbers 1..199: every key, present or not, against the true insertion point.
    Vector v(vec_create());
    for (uintptr_t i = 1; i < 200; i += 2) vec_append(v.get(), ptr(i));
    for (uintptr_t key = 0; key <= 200; key++) {
        uint32_t position;
        bool found = vec_search(v.get(), ptr(key), compare_ints, &position);
        uint32_t expected = static_cast<uint32_t>(key / 2);
        ASSERT_EQ(found, key % 2 == 1) << key;
        ASSERT_EQ(position, expected) << key;
    }
}

TEST(PtrVector, InsertSortedKeepsOrderAndRefusesEquals) {
    Vector v(vec_create());
    srand(7);
    std::vector<uintptr_t> model;
    for (int i = 0; i < 500; i++) {
        uintptr_t n = 1 + static_cast<uintptr_t>(rand() % 300);
        bool present = std::find(model.begin(), model.end(), n) != model.end();
        uint32_t count_before = v->count;
        EXPECT_EQ(vec_insert_sorted(v.get(), ptr(n), nullptr), present ? 1 : 0);
        if (!present) model.push_back(n);
        ASSERT_EQ(v->count, count_before + (present ? 0 : 1));
    }
    std::sort(model.begin(), model.end());
    ASSERT_EQ(v->count, model.size());
    for (uint32_t i = 0; i < v->count; i++) ASSERT_EQ(v->items[i], ptr(model[i]));
}

TEST(PtrVector, SortThenMergeGivesTheOrderOfOneByOneInsertion) {
    std::mt19937 rng(11);
    for (int round = 0; round < 50; round++) {
        // Distinct keys split at random between a sorted vector and a batch.
        std::vector<uintptr_t> keys(rng() % 60);
        for (size_t i = 0; i < keys.size(); i++) keys[i] = 1 + i * 3 + rng() % 3;
        std::shuffle(keys.begin(), keys.end(), rng);
        Vector one_by_one(vec_create());
        Vector sorted(vec_create());
        Vector batch(vec_create());
        for (uintptr_t key : keys) {
            vec_insert_sorted(one_by_one.get(), ptr(key), compare_ints);
            if (rng() % 3 == 0) {
                vec_insert_sorted(sorted.get(), ptr(key), compare_ints);
            } else {
                vec_append(batch.get(), ptr(key));
            }
        }
        vec_sort(batch.get(), compare_ints);
        vec_merge_sorted(sorted.get(), batch.get(), compare_ints);
        EXPECT_EQ(batch->count, 0u);
        ASSERT_EQ(sorted->count, one_by_one->count);
        for (uint32_t i = 0; i < sorted->count; i++) ASSERT_EQ(sorted->items[i], one_by_one->items[i]);
    }
}

namespace {

struct TableDeleter {
    void operator()(PtrTable* t) const { table_destroy(t); }
};
using Table = std::unique_ptr<PtrTable, TableDeleter>;

// Few distinct hashes, so that probe runs grow long, wrap around the end of
// the slots and get holes punched into them by removals.
uint32_t crowded_hash(uintptr_t n) { return static_cast<uint32_t>(n % 7) * 0x9E3779B1u; }

}  // namespace

TEST(PtrTable, FindsExactlyWhatIsStoredThroughGrowthAndRemovals) {
    Table table(table_create());
    std::set<uintptr_t> model;
    std::mt19937 rng(5);
    for (int step = 0; step < 6000; step++) {
        const uintptr_t n = 1 + rng() % 400;
        const bool present = model.count(n) != 0;
        if (!present && rng() % 3 != 0) {
            table_insert(table.get(), crowded_hash(n), ptr(n));
            model.insert(n);
        } else {
            EXPECT_EQ(table_remove(table.get(), crowded_hash(n), ptr(n)), present);
            model.erase(n);
        }
        ASSERT_EQ(table->count, model.size());
        ASSERT_LE(2 * table->count, table->capacity);
        if (step % 97 != 0) continue;
        for (uintptr_t key = 1; key <= 400; key++) {
            void* found = table_find(table.get(), crowded_hash(key), ptr(key), compare_ints);
            ASSERT_EQ(found, model.count(key) ? ptr(key) : nullptr) << "step " << step << " key " << key;
        }
    }
}

TEST(PtrTable, RemovesOnlyThatElementAmongEqualKeys) {
    // Two distinct elements that compare equal to the same key.
    struct Item {
        int key;
    } first = {1}, second = {1};
    auto compare_items = [](const void* element, const void* key) {
        return static_cast<const Item*>(element)->key - *static_cast<const int*>(key);
    };
    Table table(table_create());
    table_insert(table.get(), 42, &first);
    table_insert(table.get(), 42, &second);
    EXPECT_TRUE(table_remove(table.get(), 42, &first));
    EXPECT_FALSE(table_remove(table.get(), 42, &first));
    const int key = 1;
    EXPECT_EQ(table_find(table.get(), 42, &key, compare_items), &second);
}

TEST(TextBuffer, SharedEmptyBlockIsNeverWrittenOrFreed) {
    TextBuffer tb = tb_empty();
    EXPECT_STREQ(tb_text(tb), "");
    tb_clear(&tb);
    tb_free(&tb);
    EXPECT_EQ(tb, tb_empty());
    char* taken = tb_take(&tb);
    EXPECT_STREQ(taken, "");
    EXPECT_NE(taken, tb_text(tb_empty()));
    free(taken);
    EXPECT_EQ(tb, tb_empty());
    EXPECT_EQ(tb_shared_empty.capacity, 0u);
    EXPECT_EQ(tb_shared_empty.length, 0u);
}

TEST(TextBuffer, AppendGrowsAndStaysTerminated) {
    TextBuffer tb = tb_empty();
    tb_append_char(&tb, 'x');
    EXPECT_EQ(tb->capacity, 17u);
    std::string model = "x";
    for (int i = 0; i < 1000; i++) {
        char c = static_cast<char>('a' + i % 26);
        if (i % 3 == 0) {
            tb_append_char(&tb, c);
            model += c;
        } else {
            tb_append(&tb, "0123456789", static_cast<uint32_t>(i % 11));
            model.append("0123456789", static_cast<size_t>(i % 11));
        }
        ASSERT_LT(tb->length, tb->capacity);
        ASSERT_EQ(tb->text[tb->length], '\0');
    }
    EXPECT_EQ(std::string(tb_text(tb)), model);
    tb_clear(&tb);
    EXPECT_STREQ(tb_text(tb), "");
    tb_free(&tb);
}

TEST(TextBuffer, AssignAndTake) {
    TextBuffer tb = tb_empty();
    tb_assign(&tb, "hello");
    tb_assign(&tb, "a much longer text than before");
    tb_assign(&tb, "short");
    EXPECT_EQ(tb_length(tb), 5u);
    char* text = tb_take(&tb);
    EXPECT_STREQ(text, "short");
    EXPECT_EQ(tb, tb_empty());
    free(text);
}

TEST(TextBuffer, ReplaceAllNeverRescansInsertedText) {
    struct Case {
        const char* text;
        const char* pattern;
        const char* replacement;
        const char* expected;
    } cases[] = {
        {"a%sb%s", "%s", "x", "axbx"},
        {"no pattern here", "%s", "x", "no pattern here"},
        {"%s", "%s", "%s%s", "%s%s"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"%s%s", "%s", "", ""},
        {"", "%s", "x", ""},
        {"open %s now", "%s", "http://h/", "open http://h/ now"},
    };
    for (const Case& c : cases) {
        TextBuffer tb = tb_empty();
        tb_assign(&tb, c.text);
        tb_replace_all(&tb, c.pattern, c.replacement);
        EXPECT_STREQ(tb_text(tb), c.expected) << c.text;
        tb_free(&tb);
    }
}

TEST(GrowString, GrowsByHalfAndKeepsText) {
    GrowString s = gs_create();
    EXPECT_STREQ(s, "");
    EXPECT_EQ(reinterpret_cast<uint32_t*>(s)[-1], 12u);
    std::string model;
    for (int i = 0; i < 300; i++) {
        const char* piece = (i % 2) ? " word" : "x";
        s = gs_append(s, piece);
        model += piece;
        uint32_t size = reinterpret_cast<uint32_t*>(s)[-1];
        ASSERT_GE(size, model.size() + 1 + 4);
    }
    EXPECT_EQ(std::string(s), model);
    gs_free(s);
}

TEST(Strings, TrimInPlace) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {" \t a b\r\n", "a b"}, {"    ", ""}, {"", ""}, {"x", "x"}, {"\v\fx y\v", "x y"}, {"a  ", "a"},
    };
    for (const Case& c : cases) {
        char* text = str_dup(c.text);
        EXPECT_EQ(trim_in_place(text), text);
        EXPECT_STREQ(text, c.expected) << '"' << c.text << '"';
        free(text);
    }
}

TEST(Strings, CompareIgnoringAsciiCaseOnly) {
    EXPECT_EQ(str_compare_nocase("HTTP://A", "http://a"), 0);
    EXPECT_LT(str_compare_nocase("abc", "abd"), 0);
    EXPECT_LT(str_compare_nocase("ab", "abc"), 0);
    EXPECT_GT(str_compare_nocase("b", "A"), 0);
    // Bytes above 0x7F are compared as unsigned values and never folded.
    EXPECT_GT(str_compare_nocase("\xC4", "z"), 0);
    EXPECT_NE(str_compare_nocase("\xC4", "\xE4"), 0);
}

TEST(Strings, CompareAndHashesAgreeWithFoldedModel) {
    // Short random strings over a small alphabet with both cases, high bytes
    // and shared prefixes, against a comparison of the folded copies.
    const char alphabet[] = "aAbBzZ@[`{/\x80\xC4\xE4";
    std::mt19937 rng(3);
    auto random_text = [&](std::string prefix) {
        for (int k = static_cast<int>(rng() % 5); k > 0; k--) {
            prefix += alphabet[rng() % (sizeof alphabet - 1)];
        }
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
        // std::string compares its chars as unsigned values, as the URL order does.
        const int expected = sign(folded(a).compare(folded(b)));
        ASSERT_EQ(sign(str_compare_nocase(a.c_str(), b.c_str())), expected) << a << " / " << b;
        if (expected == 0) {
            ASSERT_EQ(hash_text_nocase(a.c_str()), hash_text_nocase(b.c_str())) << a << " / " << b;
        }
    }
    EXPECT_NE(hash_text("Web"), hash_text("web"));
    EXPECT_EQ(hash_text_nocase("Web"), hash_text_nocase("wEB"));
}
