// The attributes of an anchor's start tag: dates in any unit, names in any
// case, values in any quotes. (Tags: the fixture exports; the check
// attributes: the collection file's tests.)
#include "collection/anchor_attributes.h"

#include <gtest/gtest.h>

#include <string>

#include "core/bookmark.h"

namespace {

// "url|added|visit|modified", U for no date, then "|in " and the folder when
// there is one; "no anchor" when the tag is none.
std::string parsed(const char* tag) {
    AnchorAttributes a;
    a.url = tb_empty();
    a.tags = tb_empty();
    a.folder = tb_empty();
    std::string out = "no anchor";
    if (parse_anchor_attributes(&a, tag)) {
        out = tb_text(a.url);
        for (uint32_t date : {a.added, a.last_visit, a.last_modified}) {
            out += "|" + (date == DATE_UNSET ? std::string("U") : std::to_string(date));
        }
        if (a.has_folder) out += std::string("|in ") + tb_text(a.folder);
    }
    tb_free(&a.url);
    tb_free(&a.tags);
    tb_free(&a.folder);
    return out;
}

TEST(AnchorAttributes, ReadsDatesInAnyUnitAndFoldersFromNamesInAnyCase) {
    const struct {
        const char* tag;
        const char* parsed;
    } cases[] = {
        {"<A HREF=\"u\">", "u|U|U|U"},
        {"<A HREF=\"u\" ADD_DATE=\"4294967295\">", "u|4294967295|U|U"},
        // Nanoseconds come back as seconds (milli- and microseconds: the fixture exports).
        {"<A HREF=\"u\" LAST_MODIFIED=\"1700000000123456789\">", "u|U|U|1700000000"},
        {"<A HREF=\"u\" ADD_DATE=\"4294967296\" LAST_VISIT=\"99999999999999999999999\">", "u|4294967|U|U"},
        // Too large even in nanoseconds (19 digits: more are no date at all).
        {"<A HREF=\"u\" ADD_DATE=\"9000000000000000000\">", "u|U|U|U"},
        {"<A HREF=\"u\" ADD_DATE=\"\" LAST_VISIT=\"-5\" LAST_MODIFIED=\" 7\">", "u|0|0|0"},
        {"<A HREF=\"u\" add_date=\"5\" Last_Visit = '6' last_modified=7>", "u|5|6|7"},
        {"<A HREF=\"u\" ADD_DATES=\"6\" XADD_DATE=\"7\" _ADD_DATE=\"9\" ADD_DATE>", "u|U|U|U"},
        {"<A HREF=\"u\" HREF=\"v\" href=\"w\">", "u|U|U|U"},
        {"<A HREF=\"u\" TITLE=\"ADD_DATE=5 \" LAST_VISIT=\"12x3\">", "u|U|12|U"},
        {"<A HREF=\"a&amp;b\" ADD_DATE=\"3\"", "a&amp;b|3|U|U"},
        {"<A HREF=\"u\" ADD_DATE=\"3\">LAST_VISIT=\"4\"", "u|3|U|U"},
        {"<A HREF=\"u\" T=\"x> ADD_DATE=\"3\">", "u|U|U|U"},
        {"<A HREF=\"u\" T=\"x>\" ADD_DATE=\"3\">", "u|3|U|U"},
        {"<A HREF=\"u\" T=\"", "u|U|U|U"},
        {"<A HREF=x>", "no anchor"},
        {"<A HREF=\"x", "no anchor"},
        {"<A HREF='x'>", "no anchor"},
        // FOLDER's value, whatever it holds, becomes a path in the one form the
        // program writes: garbage and cut-off escapes are taken as they stand.
        {"<A HREF=\"u\" FOLDER=\"\">", "u|U|U|U|in "},
        {"<A HREF=\"u\" folder='News/Tech'>", "u|U|U|U|in News/Tech"},
        {"<A HREF=\"u\" FOLDER=\"a%2fb%2F%22%3e%41\xc3\xa9\">", "u|U|U|U|in a%2Fb%2F%22%3EA\xc3\xa9"},
        {"<A HREF=\"u\" FOLDER='say \"hi\"&<x'>", "u|U|U|U|in say %22hi%22%26%3Cx"},
        {"<A HREF=\"u\" FOLDER=\"100%/%zz/%4\">", "u|U|U|U|in 100%25/%25zz/%254"},
        {"<A HREF=\"u\" FOLDER=\"%\">", "u|U|U|U|in %25"},
        // Escaped bytes above ASCII could break the file's UTF-8: not taken.
        {"<A HREF=\"u\" FOLDER=\"%C3%A9%a2\">", "u|U|U|U|in %25C3%25A9%25a2"},
        {"<A HREF=\"u\" FOLDER=\"a%00b%0A%09//\">", "u|U|U|U|in ab%0A%09//"},
        {"<A HREF=\"u\" FOLDER=\"first\" FOLDER=\"second\">", "u|U|U|U|in second"},
        {"<A HREF=\"u\" FOLDER=\"cut", "u|U|U|U|in cut"},
        {"<A HREF=\"u\" FOLDER=\"cut%2", "u|U|U|U|in cut%252"},
        {"<A HREF=\"u\" FOLDER=a\tb>", "u|U|U|U|in a"},
    };
    for (const auto& c : cases) EXPECT_EQ(parsed(c.tag), c.parsed) << c.tag;
}

}  // namespace
