// Links out of the forms other programs hand them over in, and what the
// collection does with several at once.
#include "collection/dropped_links.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "collection/bookmark_source.h"
#include "collection/collection.h"
#include "collection/import_report.h"
#include "core/utf8.h"
#include "tests/collection/collection_invariants.h"
#include "tests/take_text.h"

namespace {

std::string listed(const std::vector<DroppedLink>& links) {
    std::string text;
    for (const DroppedLink& link : links) text += link.url + "|" + link.title + "\n";
    return text;
}

// An HTML clipboard text with a header whose offsets are right, ten digits
// each as browsers write them.
std::string html_format(const std::string& fragment, const std::string& source = "") {
    const std::string before = "<html><body><!--StartFragment-->", after = "<!--EndFragment--></body></html>";
    const std::string source_line = source.empty() ? "" : "SourceURL:" + source + "\r\n";
    const unsigned start = 105 + source_line.size(), fragment_start = start + before.size();
    const unsigned fragment_end = fragment_start + fragment.size();
    char header[128];
    snprintf(header, sizeof header,
             "Version:0.9\r\nStartHTML:%010u\r\nEndHTML:%010u\r\nStartFragment:%010u\r\nEndFragment:%010u\r\n", start,
             fragment_end + static_cast<unsigned>(after.size()), fragment_start, fragment_end);
    return header + source_line + before + fragment + after;
}

}  // namespace

TEST(DroppedLinks, Utf16TextAsUtf8) {
    const struct {
        std::vector<unsigned char> bytes;
        const char* text;
    } cases[] = {
        {{'h', 0, 'i', 0, 0, 0, 'x', 0}, "hi"},          // ends at the zero unit
        {{'a', 0, 0xE9, 0, 'b'}, "a\xC3\xA9"},           // odd last byte
        {{0x3D, 0xD8, 0x00, 0xDE}, "\xF0\x9F\x98\x80"},  // a surrogate pair
        {{0x3D, 0xD8, 'a', 0}, "\uFFFDa"},               // lone surrogates
        {{0x00, 0xDE}, "\xEF\xBF\xBD"},
        {{}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(utf8_from_utf16le(c.bytes.data(), c.bytes.size()), c.text);
}

TEST(DroppedLinks, EachFormWithItsTextsAndCutShort) {
    const auto html = [](const std::string& data) { return html_format_links(data.data(), data.size()); };
    const struct {
        std::vector<DroppedLink> links;
        const char* expected;
    } cases[] = {
        {moz_url_links("https://a.example/\r\nThe A Page"), "https://a.example/|The A Page\n"},
        {moz_url_links("http://a.example/\nA\nhttp://b.example/\nB\n"), "http://a.example/|A\nhttp://b.example/|B\n"},
        {moz_url_links("http://cut.example/"), "http://cut.example/|\n"},
        {moz_url_links("\n\n"), ""},
        {plain_text_links(" https://a.example/x \r\nsome words\r\nftp://f.example\nC:\\file.url\nmailto:\n"
                          "see http://b.example/ now\nwww.example.com\n"),
         "https://a.example/x|\nftp://f.example|\n"},
        {plain_text_links("1http://x\n:x\nab:\x01y\n"), ""},
        {html(html_format("<A HREF=\"http://a.example/?x=1&amp;y=2\" class=c>The <b>A</b>\r\n  &eacute;t&eacute;</a> "
                          "and <a href='https://b.example/'>B</a><a name=n>no link</a><abbr>x</abbr>"
                          "<a href=http://c.example/>")),
         "http://a.example/?x=1&y=2|The A \xC3\xA9t\xC3\xA9\nhttps://b.example/|B\nhttp://c.example/|\n"},
        // Relative addresses against the page's own.
        {html(html_format("<a href=\"/root\">1</a><a href=\"//cdn.example/c\">2</a><a href=\"dir/d\">3</a>"
                          "<a href=\"?q\">4</a><a href=\"#top\">5</a>",
                          "https://s.example/p/page.htm?old#f")),
         "https://s.example/root|1\nhttps://cdn.example/c|2\nhttps://s.example/p/dir/d|3\n"
         "https://s.example/p/page.htm?q|4\n"},
        {html(html_format("<a href=\"x\">1</a>", "https://s.example")), "https://s.example/x|1\n"},
        {html(html_format("<a href=\"x\">no page to resolve against</a>")), ""},
        // Outside the fragment is not what was copied.
        {html("Version:0.9\r\nStartFragment:0000000060\r\nEndFragment:0000000070\r\n<a href=\"http://o.example/\">"
              "O</a>   <a href=\"http://in.example/\">I</a>"),
         ""},
        // Offsets beyond the data: the text after the header is read.
        {html("Version:0.9\r\nStartFragment:999\r\nEndFragment:9999999999999999999\r\n<a href=\"http://h.example/\">H"),
         "http://h.example/|H\n"},
        {html("<a href=\"http://raw.example/\">no header</a>"), "http://raw.example/|no header\n"},
        // Cut short.
        {html("Version:0.9\r\nStartFragment:"), ""},
        {html("<a href=\"http://cut.example/"), "http://cut.example/|\n"},
        {html("<a href"), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(listed(c.links), c.expected);
    // Cut at every length, the header's offsets then pointing past the end.
    const std::string whole = html_format("<a href=\"http://a.example/\">A</a>", "http://s.example/");
    for (size_t size = 0; size <= whole.size(); size++) html_format_links(whole.data(), size);

    DroppedLink link;
    ASSERT_TRUE(
        internet_shortcut_link("C:\\Temp\\News of the day.url", "[InternetShortcut]\r\nURL=http://n.example/", &link));
    EXPECT_EQ(listed({link}), "http://n.example/|News of the day\n");
}

// The stored one stays as it is and counts as merged.
TEST(DroppedLinks, SeveralLinksAddMergeAndSkip) {
    ImportInto into(true);
    Collection* c = &into.collection;
    add_or_merge(c, str_dup("Mine"), str_dup("http://stored.example/"), "own words", 1, 2, DATE_UNSET, false);
    take_dropped_links(&into.sink, {{" http://new.example/a\"b ", "New Page"},
                                    {"HTTP://STORED.example/", "Their Title"},
                                    {"http://untitled.example/", ""},
                                    {"#top", "Top"},
                                    {"  ", ""}});
    close_bookmark_sink(&into.sink);
    EXPECT_EQ(check_collection(c), "");
    EXPECT_EQ(take_text(import_counts_text(&into.report)), "2 added, 1 merged, 2 skipped");
    EXPECT_STREQ(tb_text(into.report.reasons), "Top: a place within a page, not a page\n  : no address\n");
    EXPECT_EQ(dump_records(c),
              "http://stored.example/|Mine|own words|1|2|U\n"
              "http://new.example/a%22b|New Page||9|9|U\n"  // seen in the browser: not shown as changed
              "http://untitled.example/|http://untitled.example/||9|9|U\n");
}
