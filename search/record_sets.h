// Sets of bookmark records as the search combines them: pointer vectors of
// Bookmark* in record identity order without duplicates. Every operation is a
// linear merge and returns a new vector owned by the caller (vec_destroy).
#pragma once

#include <cstddef>

#include "core/containers.h"

PtrVector* records_intersection(const PtrVector* a, const PtrVector* b);
PtrVector* records_union(const PtrVector* a, const PtrVector* b);
// The records of a that are not in b.
PtrVector* records_difference(const PtrVector* a, const PtrVector* b);
// The union of any number of sets. Few or small sets are merged pairwise in a
// balanced order (total size times the logarithm of the count); when the sets'
// identities lie close enough together, each record is dropped into a slot per
// identity instead and the slots are read out in order, in time linear in the
// total size plus the identity range.
PtrVector* records_union_all(const PtrVector* const* sets, size_t count);
