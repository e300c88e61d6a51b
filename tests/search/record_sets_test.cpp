// Record set merges checked against the standard set algorithms on random sets.
#include "search/record_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <vector>

#include "core/bookmark.h"

namespace {

using Set = std::vector<void*>;

bool by_serial(const void* a, const void* b) {
    return static_cast<const Bookmark*>(a)->serial < static_cast<const Bookmark*>(b)->serial;
}

void check(PtrVector* got, const Set& expected) {
    EXPECT_EQ(Set(got->items, got->items + got->count), expected);
    vec_destroy(got);
}

// Also with empty sets among them, or only empty sets; the first two sets also
// go through the pairwise merges.
TEST(RecordSets, MergesMatchTheSetAlgorithms) {
    // Addresses run against serials, so that a merge that compared pointers
    // instead of identities would go wrong.
    Bookmark records[40] = {};
    Set all;
    for (int i = 39; i >= 0; i--) {
        records[i].serial = static_cast<uint64_t>(1000 - 7 * i);
        all.push_back(&records[i]);
    }
    std::mt19937 rng(99);
    const size_t counts[] = {0, 1, 2, 3, 5, 8, 13, 40, 100};
    for (int round = 0; round < 900; round++) {
        const bool all_empty = round % 18 >= 9;
        std::vector<Set> sets;
        std::vector<PtrVector*> vectors;
        Set expected, merged;
        for (size_t i = 0; i < counts[round % 9]; i++) {
            // Now and then the second is a part of the first, as NOT's operand
            // is part of the collection.
            const bool part = i == 1 && round % 3 == 0;
            sets.emplace_back();
            vectors.push_back(vec_create());
            const unsigned density = part ? 2 : all_empty || rng() % 8 == 0 ? 0 : 1 + rng() % 4;
            for (void* record : part ? sets[0] : all) {
                if (rng() % 4 < density) {
                    sets.back().push_back(record);
                    vec_append(vectors.back(), record);
                }
            }
            merged.clear();
            std::set_union(expected.begin(), expected.end(), sets.back().begin(), sets.back().end(),
                           std::back_inserter(merged), by_serial);
            expected.swap(merged);
        }
        SCOPED_TRACE(round);
        check(records_union_all(vectors.data(), vectors.size()), expected);
        if (sets.size() >= 2) {
            const Set &a = sets[0], &b = sets[1];
            expected.clear();
            std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(expected), by_serial);
            check(records_intersection(vectors[0], vectors[1]), expected);
            expected.clear();
            std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(expected), by_serial);
            check(records_union(vectors[0], vectors[1]), expected);
            expected.clear();
            std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(expected), by_serial);
            check(records_difference(vectors[0], vectors[1]), expected);
        }
        for (PtrVector* s : vectors) vec_destroy(s);
    }
}

}  // namespace
