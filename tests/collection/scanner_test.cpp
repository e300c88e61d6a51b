// The token stream of the bookmark file scanner, as a dump per input, and
// plain runs against single tokens.
#include "collection/scanner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

namespace {

// Characters as themselves, other tokens in braces; the end is not shown.
std::string shown(const BookmarkScanner& scanner) {
    static const char* const names[] = {"START", "", "A", "/A", "DD", "DT", "DL", "/DL", "H", "/H", "DOCTYPE", "END"};
    if (scanner.kind == TOK_CHAR) return std::string(scanner.chars, scanner.char_count);
    return std::string("{") + names[scanner.kind] + "}";
}

std::string dump_tokens(const char* text) {
    BookmarkScanner scanner;
    start_scanner(&scanner, text);
    std::string out;
    while (next_token(&scanner)) out += shown(scanner);
    EXPECT_FALSE(next_token(&scanner));
    EXPECT_EQ(TOK_END, scanner.kind);
    return out;
}

TEST(Scanner, GivesTheTokensOfEveryShape) {
    const struct {
        const char *input, *tokens;
    } cases[] = {
        // White space folds after characters only; the bytes not listed as
        // white space are characters of their own.
        {" \t\r\n x", "x"},
        {"a  b", "a b"},
        {"a\r\nb", "a b"},
        {"x \r\n", "x "},
        {"a <P> b", "a  b"},
        {"<DD>\r\n y", "{DD}y"},
        {"a\x0b\x0c b\xc8\x01\"", "a\x0b\x0c b\xc8\x01\""},
        {"   ", ""},
        // Character references, in UTF-8; one to no character is U+FFFD;
        // spaces from references never fold.
        {"a&nbsp;&nbsp;b", "a\u00a0\u00a0b"},
        {"&lt;&gt;&quot;&amp;&apos;", "<>\"&'"},
        {"It&#39;s &#x27;x&#X27; &#8217;", "It's 'x' \u2019"},
        {"&eacute;t&eacute; &hellip; &Omega;&omega; &euro;", "\u00e9t\u00e9 \u2026 \u03a9\u03c9 \u20ac"},
        {"&#x1F600;&#128512;", "\U0001F600\U0001F600"},
        {"&#0;&#xD800;&#1114112;&#99999999999999;", "\ufffd\ufffd\ufffd\ufffd"},
        {"a &#32;&#9;b", "a  \tb"},
        {"&AMP; &Eacute &eacutex; &#; &#x; &#12a; &&amp;", "&AMP; &Eacute &eacutex; &#; &#x; &#12a; &&"},
        {"&quot", "&quot"},
        {"&", "&"},
        {"&#1234567890123456789012345678901234567890;", "&#1234567890123456789012345678901234567890;"},
        // Anchor start tags need a double-quoted HREF; a quoted value may hold '>'.
        {"<AHREF=\"x\">", "{A}"},
        {"<A\tHREF=\"x\">", "{A}"},
        {"<A NAME=\"n\" HREF=\"x\">t", "t"},
        {"<A HREF=x>t", "t"},
        {"<A HREF = \"x\">t", "t"},
        {"<A HREF=\"a>b\">t", "{A}t"},
        {"<A HREF=\"u\" TITLE=\"a>b\">t", "{A}t"},
        {"<A HREF=\"u\" X=\"1\" TITLE=\"a>b\">t", "{A}b\">t"},
        {"<A HREF=\"u\" TITLE=\"a>b", "{A}b"},
        {"<A HREF=\"u\" TITLE = \"a>b\" >t", "{A}t"},
        {"<A HREF=\"\">", "{A}"},
        // Structure tags in any case; headings H1 to H6.
        {"</A>", "{/A}"},
        {"<dd><Dt><dL></Dl>", "{DD}{DT}{DL}{/DL}"},
        {"<DL ><DD x>", ""},
        {"<DL><p>", "{DL}"},
        {"</DD>", ""},
        {"<B>x</B></ABBR>", "x"},
        {"<H1>x</H1>", "{H}x{/H}"},
        {"<h3 FOLDED>x</h3>y", "{H}x{/H}y"},
        {"<H3 T=\"a>b\">x", "{H}x"},
        {"<H7>x<H0>y</H7>", "xy"},
        {"<H6>", "{H}"},
        {"<HR>", ""},
        // Only the exact Netscape doctype.
        {"<!DOCTYPE NETSCAPE-Bookmark-file-1>", "{DOCTYPE}"},
        {"<!DOCTYPE  NETSCAPE-Bookmark-file-1>", ""},
        {"<!DOCTYPE NETSCAPE-Bookmark-file-1 >", ""},
        {"x<!DOCTYPE NETSCAPE-Bookmark-file-1>y", "x{DOCTYPE}y"},
        {"<!DOCTYPE Tessfold-Ravozorizi-file-1>", ""},
        // Other tags end at their first '>'; unfinished markup ends the text.
        {"<!-- <DD> -->x", "-->x"},
        {"<TITLE>t</TITLE>", "t"},
        {"< x>y", "y"},
        {"<P a=\">\">b", "\">b"},
        {"a>b\"c", "a>b\"c"},
        {"x<", "x"},
        {"x<A HREF=\"x", "x"},
        {"x<A HREF=\"x\"", "x"},
        {"x<H1 a=\"b\"", "x"},
        {"x<P", "x"},
        {"x<D", "x"},
        {"x</", "x"},
        {"x</H", "x"},
        {"x<!DOCTYPE", "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.tokens, dump_tokens(c.input)) << "input: " << c.input;
}

// Runs of plain characters taken at once leave the scanner exactly where the
// same characters taken one token at a time leave it. (Reads past the end are
// left to the reader's mutation runs in exact-size blocks.)
TEST(Scanner, PlainRunsMatchCharacterTokens) {
    const char* pieces[] = {"a",    "Zq",    "  ",     "\r\n",  "\t",       "<",        ">",
                            "&",    "&amp;", "&nbsp;", "&x;",   "&#x2019;", "&eacute;", "<A HREF=\"u\">",
                            "</A>", "<DD>",  "<DT>",   "</DL>", "<b>",      "\xC3\xA4", "\"",
                            "=",    "x y"};
    auto state = [](const BookmarkScanner& s) {
        return std::make_tuple(s.cursor, s.token_start, s.kind, s.previous_kind, shown(s));
    };
    std::mt19937 rng(11);
    for (int round = 0; round < 2000; round++) {
        std::string text;
        const int count = static_cast<int>(rng() % 12);
        for (int i = 0; i < count; i++) text += pieces[rng() % (sizeof pieces / sizeof pieces[0])];

        BookmarkScanner fast;
        BookmarkScanner slow;
        start_scanner(&fast, text.c_str());
        start_scanner(&slow, text.c_str());
        std::string with_runs;
        for (;;) {
            uint32_t length = 0;
            const char* run = take_plain_run(&fast, &length);
            with_runs.append(run, length);
            for (uint32_t i = 0; i < length; i++) ASSERT_TRUE(next_token(&slow));
            if (length > 0) {
                ASSERT_EQ(state(fast), state(slow)) << text;
            }
            const bool more = next_token(&fast);
            ASSERT_EQ(more, next_token(&slow)) << text;
            if (!more) break;
            with_runs += shown(fast);
        }
        ASSERT_EQ(with_runs, dump_tokens(text.c_str())) << text;
    }
}

}  // namespace
