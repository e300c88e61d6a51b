// Linear merges of record sets kept in record identity order.
#include "search/record_sets.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/bookmark.h"

namespace {

uint64_t identity(const PtrVector* set, uint32_t i) { return static_cast<const Bookmark*>(set->items[i])->serial; }

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
    // NOT subtracts from the whole collection, so b is normally part of a: then
    // the records pair up by address and none has to be read. When some record
    // of b is left over, b was not part of a and the identities are compared.
    uint32_t j = 0;
    for (uint32_t i = 0; i < a->count; i++) {
        if (j < b->count && a->items[i] == b->items[j]) {
            j++;
            continue;
        }
        out->items[out->count++] = a->items[i];
    }
    if (j == b->count) return out;
    out->count = 0;
    j = 0;
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

// Identities are handed out in sequence, so the range between the smallest
// and the largest is normally not much larger than the collection.
PtrVector* union_by_slots(const PtrVector* const* sets, size_t count, uint64_t first, uint64_t span, uint64_t total) {
    std::vector<void*> slots(span, nullptr);
    for (size_t s = 0; s < count; s++) {
        for (uint32_t i = 0; i < sets[s]->count; i++) slots[identity(sets[s], i) - first] = sets[s]->items[i];
    }
    PtrVector* out = new_set(static_cast<uint32_t>(total < span ? total : span));
    for (void* record : slots) {
        if (record) out->items[out->count++] = record;
    }
    return out;
}

}  // namespace

PtrVector* records_union_all(const PtrVector* const* sets, size_t count) {
    if (count == 0) return vec_create();
    if (count == 1) return copy_set(sets[0]);
    uint64_t total = 0, first = UINT64_MAX, last = 0;
    for (size_t i = 0; i < count; i++) {
        const PtrVector* set = sets[i];
        if (set->count == 0) continue;
        total += set->count;
        if (identity(set, 0) < first) first = identity(set, 0);
        if (identity(set, set->count - 1) > last) last = identity(set, set->count - 1);
    }
    if (total == 0) return vec_create();
    uint64_t rounds = 0;
    while ((size_t{1} << rounds) < count) rounds++;
    uint64_t span = last - first + 1;
    if (span + total < total * rounds) return union_by_slots(sets, count, first, span, total);
    return union_by_merges(sets, count);
}
