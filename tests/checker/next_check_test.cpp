// Tests of the choice of the next bookmark to check.
#include "checker/next_check.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

Bookmark record(uint32_t flags, uint32_t last_visit, uint32_t last_modified) {
    Bookmark b;
    memset(&b, 0, sizeof b);
    b.flags = flags;
    b.last_visit = last_visit;
    b.last_modified = last_modified;
    return b;
}

TEST(ModifiedSinceVisit, NeedsARealDateAfterTheVisit) {
    EXPECT_TRUE(modified_since_visit(100, 200));
    EXPECT_FALSE(modified_since_visit(200, 200));
    EXPECT_FALSE(modified_since_visit(300, 200));
    EXPECT_FALSE(modified_since_visit(DATE_UNSET, 200));
    for (uint32_t sentinel : {DATE_BROKEN, DATE_UNSET, DATE_CHECKING}) {
        EXPECT_FALSE(modified_since_visit(100, sentinel));
    }
}

TEST(NeedsCheck, SkipsCheckedAndChangedRecords) {
    Bookmark fresh = record(0, 100, DATE_UNSET);
    Bookmark listed = record(BOOKMARK_LISTED, 100, DATE_BROKEN);
    Bookmark checked = record(BOOKMARK_CHECKED, 100, DATE_UNSET);
    Bookmark changed = record(0, 100, 200);
    Bookmark unchanged = record(0, 300, 200);
    Bookmark never_visited = record(0, DATE_UNSET, 200);
    EXPECT_TRUE(needs_check(&fresh));
    EXPECT_TRUE(needs_check(&listed));
    EXPECT_FALSE(needs_check(&checked));
    EXPECT_FALSE(needs_check(&changed));
    EXPECT_TRUE(needs_check(&unchanged));
    EXPECT_TRUE(needs_check(&never_visited));
}

}  // namespace
