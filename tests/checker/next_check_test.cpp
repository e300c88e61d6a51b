// Tests of the choice of the next bookmark to check.
#include "checker/next_check.h"

#include <gtest/gtest.h>

namespace {

// A record needs a check unless checked already or known to have changed since the visit.
TEST(NeedsCheck, SkipsCheckedAndChangedRecords) {
    const struct {
        uint32_t flags, last_visit, last_modified;
        bool needed;
    } cases[] = {
        {0, 100, 200, false},
        {0, 200, 200, true},
        {0, 100, DATE_CHECKING, true},
        {BOOKMARK_CHECKED, 100, DATE_UNSET, false},
    };
    for (const auto& c : cases) {
        Bookmark b = {};
        b.flags = c.flags;
        b.last_visit = c.last_visit;
        b.last_modified = c.last_modified;
        EXPECT_EQ(needs_check(&b), c.needed) << c.flags << " " << c.last_visit << " " << c.last_modified;
        EXPECT_EQ(modified_since_visit(c.last_visit, c.last_modified), !c.needed && !c.flags);
    }
}

}  // namespace
