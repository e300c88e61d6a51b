// Linear merges of record sets kept in record identity order.
#include "search/record_sets.h"

#include <cstring>
#include <vector>

#include "collection/bookmark.h"

namespace {

uint64_t identity(const PtrVector* set, uint32_t i) {
    return static_cast<const Bookmark*>(set->items[i])->serial;
}

PtrVector* new_set(uint32_t room) {
    PtrVector* set = vec_create();
    vec_reserve(set, room);
    return set;
}

PtrVector* copy_set(const PtrVector* a) {
    PtrVector* out = new_set(a->count);
    memcpy(out->items, a->items, a->count * sizeof(void*));
    out->count = a->count;
    return out;
}

}  // namespace

PtrVector* records_intersection(const PtrVector* a, const PtrVector* b) {
    PtrVector* out = new_set(a->count < b->count ? a->count : b->count);
    uint32_t i = 0, j = 0;
    while (i < a->count && j < b->count) {
        uint64_t x = identity(a, i), y = identity(b, j);
        if (x < y) {
            i++;
        } else if (y < x) {
            j++;
        } else {
            out->items[out->count++] = a->items[i];
            i++;
            j++;
        }
    }
    return out;
}

PtrVector* records_union(const PtrVector* a, const PtrVector* b) {
    PtrVector* out = new_set(a->count + b->count);
    uint32_t i = 0, j = 0;
    while (i < a->count && j < b->count) {
        uint64_t x = identity(a, i), y = identity(b, j);
        if (x <= y) {
            out->items[out->count++] = a->items[i++];
            if (x == y) j++;
        } else {
            out->items[out->count++] = b->items[j++];
        }
    }
    while (i < a->count) out->items[out->count++] = a->items[i++];
    while (j < b->count) out->items[out->count++] = b->items[j++];
    return out;
}

PtrVector* records_difference(const PtrVector* a, const PtrVector* b) {
    PtrVector* out = new_set(a->count);
    uint32_t j = 0;
    for (uint32_t i = 0; i < a->count; i++) {
        uint64_t x = identity(a, i);
        while (j < b->count && identity(b, j) < x) j++;
        if (j < b->count && identity(b, j) == x) continue;
        out->items[out->count++] = a->items[i];
    }
    return out;
}

namespace {

PtrVector* union_by_merges(const PtrVector* const* sets, size_t count) {
    // The first round merges the given sets, later rounds the merged ones.
    std::vector<PtrVector*> level;
    level.reserve((count + 1) / 2);
    for (size_t i = 0; i + 1 < count; i += 2) level.push_back(records_union(sets[i], sets[i + 1]));
    if (count % 2) level.push_back(copy_set(sets[count - 1]));
    while (level.size() > 1) {
        size_t kept = 0;
        for (size_t i = 0; i < level.size(); i += 2) {
            if (i + 1 == level.size()) {
                level[kept++] = level[i];
                break;
            }
            PtrVector* merged = records_union(level[i], level[i + 1]);
            vec_destroy(level[i]);
            vec_destroy(level[i + 1]);
            level[kept++] = merged;
        }
        level.resize(kept);
    }
    return level[0];
}

// Identities are dense (handed out in sequence), so a mark per identity
// between the universe's first and last record stays small.
PtrVector* union_by_marks(const PtrVector* const* sets, size_t count, const PtrVector* universe,
                          uint64_t first, uint64_t span) {
    std::vector<bool> marked(span, false);
    for (size_t s = 0; s < count; s++) {
        for (uint32_t i = 0; i < sets[s]->count; i++) {
            uint64_t offset = identity(sets[s], i) - first;
            if (offset < span) marked[offset] = true;
        }
    }
    PtrVector* out = new_set(universe->count);
    for (uint32_t i = 0; i < universe->count; i++) {
        if (marked[identity(universe, i) - first]) out->items[out->count++] = universe->items[i];
    }
    return out;
}

}  // namespace

PtrVector* records_union_all(const PtrVector* const* sets, size_t count, const PtrVector* universe) {
    if (count == 0) return vec_create();
    if (count == 1) return copy_set(sets[0]);
    uint64_t total = 0;
    for (size_t i = 0; i < count; i++) total += sets[i]->count;
    uint64_t rounds = 0;
    while ((size_t{1} << rounds) < count) rounds++;
    if (universe && universe->count > 0 && total * rounds > universe->count) {
        uint64_t first = identity(universe, 0);
        uint64_t span = identity(universe, universe->count - 1) - first + 1;
        if (span <= 8 * static_cast<uint64_t>(universe->count)) {
            return union_by_marks(sets, count, universe, first, span);
        }
    }
    return union_by_merges(sets, count);
}
