// The bookmark file scanner's tokens, taken one by one and with plain runs.
#include "collection/scanner.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Characters as themselves, other tokens in braces; the end is not shown.
std::string shown(const BookmarkScanner& scanner) {
    static const char* const names[] = {"START", "", "A", "/A", "DD", "DT", "DL", "/DL", "H", "/H", "DOCTYPE", "END"};
    if (scanner.kind == TOK_CHAR) return std::string(scanner.chars, scanner.char_count);
    return std::string("{") + names[scanner.kind] + "}";
}

// With `runs`, plain characters a run at once, as the reader takes them.
std::string dump_tokens(const char* text, bool runs) {
    BookmarkScanner scanner;
    start_scanner(&scanner, text);
    std::string out;
    for (;;) {
        uint32_t length = 0;
        const char* run = runs ? take_plain_run(&scanner, &length) : nullptr;
        out.append(run ? run : "", length);
        EXPECT_TRUE(length == 0 || scanner.chars == scanner.token_start) << "the run's last character is the token";
        if (!next_token(&scanner)) break;
        out += shown(scanner);
    }
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
        {"a\r\nb", "a b"},
        {"a <P> b", "a  b"},
        {"<DD>\r\n y", "{DD}y"},
        {"a\x0b\x0c b\xc8\x01\"", "a\x0b\x0c b\xc8\x01\""},
        // Character references, in UTF-8; one to no character is U+FFFD;
        // spaces from references never fold; a number of over 32 digits is no reference.
        {"&lt;&gt;&quot;&amp;&apos;", "<>\"&'"},
        {"It&#39;s &#x27;x&#Xa7; &#8217;&#x1f60A;&#x10FFFF;", "It's 'x\u00a7 \u2019\U0001F60A\U0010FFFF"},
        {"&eacute;t&eacute; &hellip; &AElig;&Zeta;&szlig; &not;", "\u00e9t\u00e9 \u2026 \u00c6\u0396\u00df \u00ac"},
        {"&#0;&#xD800;&#xDFFF;&#1114112;&#x10FFFF0;&#99999999999999;", "\ufffd\ufffd\ufffd\ufffd\ufffd\ufffd"},
        {"a &#32;&#9;b", "a  \tb"},
        {"&AMP; &Eacute &eacutex; &#; &#x; &#12a; &&amp;", "&AMP; &Eacute &eacutex; &#; &#x; &#12a; &&"},
        {"&#123456789012345678901234567890123;", "&#123456789012345678901234567890123;"},
        {"&#x12345678901234567890123456789012;", "\ufffd"},
        // Anchor start tags need a double-quoted HREF; a quoted value may hold '>'.
        {"<AHREF=\"x\">", "{A}"},
        {"<A NAME=\"n\" HREF=\"x\">t", "t"},
        {"<A HREF=x>t", "t"},
        {"<A HREF = \"x\">t", "t"},
        {"<A HREF=\"a>b\">t", "{A}t"},
        {"<A HREF=\"u\" TITLE=\"a>b\">t", "{A}t"},
        {"<A HREF=\"u\" X=\"1\" TITLE=\"a>b\">t", "{A}b\">t"},
        {"<A HREF=\"u\" TITLE=\"a>b", "{A}b"},
        {"<A HREF=\"u\" TITLE = \"a>b\" >t", "{A}t"},
        // Structure tags in any case; headings H1 to H6.
        {"</a><dd><Dt><dL></Dl>", "{/A}{DD}{DT}{DL}{/DL}"},
        {"<DL ><DD x>", ""},
        {"<B>x</B></ABBR></DD>", "x"},
        {"<H1>x</H1>", "{H}x{/H}"},
        {"<h3 FOLDED>x</h3>y", "{H}x{/H}y"},
        {"<H3 T=\"a>b\">x", "{H}x"},
        {"<H7>x<H0>y</H7>", "xy"},
        {"<H6>", "{H}"},
        // Only the exact Netscape doctype.
        {"<!DOCTYPE NETSCAPE-Bookmark-file-1>", "{DOCTYPE}"},
        {"<!DOCTYPE  NETSCAPE-Bookmark-file-1>", ""},
        // Other tags end at their first '>'; unfinished markup ends the text.
        {"<!-- <DD> -->x", "-->x"},
        {"<P a=\">\">b", "\">b"},
        {"a>b\"c", "a>b\"c"},
        {"x<", "x"},
        {"x<A HREF=\"x", "x"},
        {"x<A HREF=\"x\"", "x"},
        {"x<H1 a=\"b\"", "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.tokens, dump_tokens(c.input, false)) << "input: " << c.input;
        EXPECT_EQ(c.tokens, dump_tokens(c.input, true)) << "input with runs: " << c.input;
    }
}

}  // namespace
