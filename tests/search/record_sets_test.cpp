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

TEST(RecordSets, PairwiseMergesMatchTheSetAlgorithms) {
    Pool pool;
    std::mt19937 rng(99);
    for (int round = 0; round < 500; round++) {
        std::vector<int> a = random_ranks(&rng), b = random_ranks(&rng);
        if (round % 10 == 0) a.clear();
        // A part of a, as NOT's operand is part of the collection.
        if (round % 3 == 0) {
            b.clear();
            for (int r : a) {
                if (rng() % 2) b.push_back(r);
            }
        }
        PtrVector* sa = pool.make(a);
        PtrVector* sb = pool.make(b);
        std::vector<int> expected;
        std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(expected));
        check(records_intersection(sa, sb), expected);
        expected.clear();
        std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(expected));
        check(records_union(sa, sb), expected);
        expected.clear();
        std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(expected));
        check(records_difference(sa, sb), expected);
        vec_destroy(sa);
        vec_destroy(sb);
    }
}

// Few sets are merged pairwise, many by slots per identity: both must agree
// with the model, also with empty sets among them or only empty sets.
TEST(RecordSets, UnionOfManySetsHoldsEachRecordOnce) {
    Pool pool;
    std::mt19937 rng(7);
    for (size_t count : {0, 1, 2, 3, 5, 8, 13, 40, 100}) {
        for (bool empty : {false, true}) {
            std::vector<PtrVector*> sets;
            std::vector<int> expected;
            for (size_t i = 0; i < count; i++) {
                std::vector<int> r = random_ranks(&rng);
                if (empty || i % 7 == 3) r.clear();
                sets.push_back(pool.make(r));
                std::vector<int> merged;
                std::set_union(expected.begin(), expected.end(), r.begin(), r.end(), std::back_inserter(merged));
                expected.swap(merged);
            }
            SCOPED_TRACE(count);
            check(records_union_all(sets.data(), sets.size()), expected);
            for (PtrVector* s : sets) vec_destroy(s);
        }
    }
}

}  // namespace
