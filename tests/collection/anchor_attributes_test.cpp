// The attributes of an anchor's start tag: dates in any unit, names in any
// case, values in any quotes. (Tags: the fixture exports; the check
// attributes: the collection file's tests.)
#include "collection/anchor_attributes.h"

#include <gtest/gtest.h>

#include "core/bookmark.h"

namespace {

TEST(AnchorAttributes, ReadsDatesInAnyUnitFromNamesInAnyCase) {
    const uint32_t U = DATE_UNSET;
    const struct {
        const char* tag;
        const char* url;  // null: no URL, the tag is no anchor
        uint32_t added, visit, modified;
    } cases[] = {
        {"<A HREF=\"u\">", "u", U, U, U},
        {"<A HREF=\"u\" ADD_DATE=\"4294967295\">", "u", 0xFFFFFFFFu, U, U},
        // Nanoseconds come back as seconds (milli- and microseconds: the fixture exports).
        {"<A HREF=\"u\" LAST_MODIFIED=\"1700000000123456789\">", "u", U, U, 1700000000},
        {"<A HREF=\"u\" ADD_DATE=\"4294967296\" LAST_VISIT=\"99999999999999999999999\">", "u", 4294967, U, U},
        // Too large even in nanoseconds (19 digits: more are no date at all).
        {"<A HREF=\"u\" ADD_DATE=\"9000000000000000000\">", "u", U, U, U},
        {"<A HREF=\"u\" ADD_DATE=\"\" LAST_VISIT=\"-5\" LAST_MODIFIED=\" 7\">", "u", 0, 0, 0},
        {"<A HREF=\"u\" add_date=\"5\" Last_Visit = '6' last_modified=7>", "u", 5, 6, 7},
        {"<A HREF=\"u\" ADD_DATES=\"6\" XADD_DATE=\"7\" _ADD_DATE=\"9\" ADD_DATE>", "u", U, U, U},
        {"<A HREF=\"u\" HREF=\"v\" href=\"w\">", "u", U, U, U},
        {"<A HREF=\"u\" TITLE=\"ADD_DATE=5 \" LAST_VISIT=\"12x3\">", "u", U, 12, U},
        {"<A HREF=\"a&amp;b\" ADD_DATE=\"3\"", "a&amp;b", 3, U, U},
        {"<A HREF=\"u\" ADD_DATE=\"3\">LAST_VISIT=\"4\"", "u", 3, U, U},
        {"<A HREF=\"u\" T=\"x> ADD_DATE=\"3\">", "u", U, U, U},
        {"<A HREF=\"u\" T=\"x>\" ADD_DATE=\"3\">", "u", 3, U, U},
        {"<A HREF=\"u\" T=\"", "u", U, U, U},
        {"<A HREF=x>", nullptr, U, U, U},
        {"<A HREF=\"x", nullptr, U, U, U},
        {"<A HREF='x'>", nullptr, U, U, U},
    };
    for (const auto& c : cases) {
        AnchorAttributes a;
        a.url = tb_empty();
        a.tags = tb_empty();
        ASSERT_EQ(parse_anchor_attributes(&a, c.tag), c.url != nullptr) << c.tag;
        EXPECT_STREQ(c.url ? c.url : "", tb_text(a.url)) << c.tag;
        if (c.url) {
            EXPECT_EQ(c.added, a.added) << c.tag;
            EXPECT_EQ(c.visit, a.last_visit) << c.tag;
            EXPECT_EQ(c.modified, a.last_modified) << c.tag;
        }
        tb_free(&a.url);
        tb_free(&a.tags);
    }
}

}  // namespace
