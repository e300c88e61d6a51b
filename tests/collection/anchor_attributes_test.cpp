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
        a.folder = tb_empty();
        ASSERT_EQ(parse_anchor_attributes(&a, c.tag), c.url != nullptr) << c.tag;
        EXPECT_STREQ(c.url ? c.url : "", tb_text(a.url)) << c.tag;
        if (c.url) {
            EXPECT_EQ(c.added, a.added) << c.tag;
            EXPECT_EQ(c.visit, a.last_visit) << c.tag;
            EXPECT_EQ(c.modified, a.last_modified) << c.tag;
        }
        tb_free(&a.url);
        tb_free(&a.tags);
        tb_free(&a.folder);
    }
}

// FOLDER's value, whatever it holds, becomes a path in the one form the
// program writes: garbage and cut-off escapes are taken as they stand.
TEST(AnchorAttributes, FolderValuesBecomeWellFormedPaths) {
    const struct {
        const char* tag;
        const char* path;  // null: no folder
    } cases[] = {
        {"<A HREF=\"u\">", nullptr},
        {"<A HREF=\"u\" FOLDER=\"\">", ""},
        {"<A HREF=\"u\" folder='News/Tech'>", "News/Tech"},
        {"<A HREF=\"u\" FOLDER=\"a%2fb%2F%22%3e%41\xc3\xa9\">", "a%2Fb%2F%22%3EA\xc3\xa9"},
        {"<A HREF=\"u\" FOLDER='say \"hi\"&<x'>", "say %22hi%22%26%3Cx"},
        {"<A HREF=\"u\" FOLDER=\"100%/%zz/%4\">", "100%25/%25zz/%254"},
        {"<A HREF=\"u\" FOLDER=\"%\">", "%25"},
        // Escaped bytes above ASCII could break the file's UTF-8: not taken.
        {"<A HREF=\"u\" FOLDER=\"%C3%A9%a2\">", "%25C3%25A9%25a2"},
        {"<A HREF=\"u\" FOLDER=\"a%00b%0A%09//\">", "ab%0A%09//"},
        {"<A HREF=\"u\" FOLDER=\"first\" FOLDER=\"second\">", "second"},
        {"<A HREF=\"u\" FOLDER=\"cut", "cut"},
        {"<A HREF=\"u\" FOLDER=\"cut%2", "cut%252"},
        {"<A HREF=\"u\" FOLDER=a\tb>", "a"},
    };
    for (const auto& c : cases) {
        AnchorAttributes a;
        a.url = tb_empty();
        a.tags = tb_empty();
        a.folder = tb_empty();
        ASSERT_TRUE(parse_anchor_attributes(&a, c.tag)) << c.tag;
        EXPECT_EQ(a.has_folder, c.path != nullptr) << c.tag;
        EXPECT_STREQ(a.has_folder ? tb_text(a.folder) : nullptr, c.path) << c.tag;
        tb_free(&a.url);
        tb_free(&a.tags);
        tb_free(&a.folder);
    }
}

}  // namespace
