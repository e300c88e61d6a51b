// Record set merges checked against the standard set algorithms on random sets.
#include "search/record_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <vector>

#include "core/bookmark.h"

namespace {

// Records whose addresses run against their serials, so that a merge that
// compared pointers instead of identities would go wrong.
struct Pool {
    static constexpr int kSize = 40;
    Bookmark records[kSize] = {};
    Pool() {
        for (int i = 0; i < kSize; i++) records[i].serial = static_cast<uint64_t>(1000 - 7 * i);
    }
    // A set from serial ranks (0 = smallest serial).
    PtrVector* make(const std::vector<int>& ranks) {
        PtrVector* set = vec_create();
        for (int rank : ranks) vec_append(set, &records[kSize - 1 - rank]);
        return set;
    }
    static std::vector<int> ranks(const PtrVector* set) {
        std::vector<int> out;
        for (uint32_t i = 0; i < set->count; i++) {
            uint64_t serial = static_cast<const Bookmark*>(set->items[i])->serial;
            out.push_back(kSize - 1 - static_cast<int>((1000 - serial) / 7));
        }
        return out;
    }
};

std::vector<int> random_ranks(std::mt19937* rng) {
    std::vector<int> out;
    int density = 1 + static_cast<int>((*rng)() % 4);
    for (int r = 0; r < Pool::kSize; r++) {
        if (static_cast<int>((*rng)() % 4) < density) out.push_back(r);
    }
    return out;
}

// Compares a merge's result with the expected ranks and frees it.
void check(PtrVector* got, const std::vector<int>& expected) {
    EXPECT_EQ(Pool::ranks(got), expected);
    vec_destroy(got);
}

// Few sets are merged pairwise, many by slots per identity: both must agree
// with the model, also with empty sets among them or only empty sets. The
// first two sets also go through the pairwise merges.
TEST(RecordSets, MergesMatchTheSetAlgorithms) {
    Pool pool;
    std::mt19937 rng(99);
    const size_t counts[] = {0, 1, 2, 3, 5, 8, 13, 40, 100};
    for (int round = 0; round < 900; round++) {
        const bool all_empty = round % 18 >= 9;
        std::vector<std::vector<int>> ranks;
        std::vector<PtrVector*> sets;
        std::vector<int> expected;
        for (size_t i = 0; i < counts[round % 9]; i++) {
            std::vector<int> r;
            if (i == 1 && round % 3 == 0) {
                // A part of the first, as NOT's operand is part of the collection.
                for (int x : ranks[0]) {
                    if (rng() % 2) r.push_back(x);
                }
            } else if (!all_empty && rng() % 8) {
                r = random_ranks(&rng);
            }
            ranks.push_back(r);
            sets.push_back(pool.make(r));
            std::vector<int> merged;
            std::set_union(expected.begin(), expected.end(), r.begin(), r.end(), std::back_inserter(merged));
            expected.swap(merged);
        }
        SCOPED_TRACE(round);
        check(records_union_all(sets.data(), sets.size()), expected);
        if (sets.size() >= 2) {
            const std::vector<int>&a = ranks[0], &b = ranks[1];
            expected.clear();
            std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(expected));
            check(records_intersection(sets[0], sets[1]), expected);
            expected.clear();
            std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(expected));
            check(records_union(sets[0], sets[1]), expected);
            expected.clear();
            std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(expected));
            check(records_difference(sets[0], sets[1]), expected);
        }
        for (PtrVector* s : sets) vec_destroy(s);
    }
}

}  // namespace
