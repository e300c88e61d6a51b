// The token stream of the bookmark file scanner, as a dump per input; every
// prefix of a text read within bounds; plain runs against single tokens.
#include "collection/scanner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// Characters as themselves, other tokens in braces; the end is not shown.
std::string dump_tokens(const char* text) {
    static const char* const names[] = {"START", "", "A", "/A", "DD", "DT", "DL", "/DL", "H", "/H", "DOCTYPE", "END"};
    BookmarkScanner scanner;
    start_scanner(&scanner, text);
    std::string out;
    while (next_token(&scanner)) {
        if (scanner.kind == TOK_CHAR) {
            out.append(scanner.chars, scanner.char_count);
        } else {
            out += std::string("{") + names[scanner.kind] + "}";
        }
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
        {"<a href=\"x\">", "{A}"},
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
        {"</a></A>", "{/A}{/A}"},
        {"<dd><Dt><dL></Dl>", "{DD}{DT}{DL}{/DL}"},
        {"<DL ><DD x>", ""},
        {"<DL><p>", "{DL}"},
        {"</DD>", ""},
        {"<H1>x</H1>", "{H}x{/H}"},
        {"<h3 FOLDED>x</h3>y", "{H}x{/H}y"},
        {"<H3 T=\"a>b\">x", "{H}x"},
        {"<H7>x<H0>y</H7>", "xy"},
        {"<H6>", "{H}"},
        {"<HR>", ""},
        // Only the exact Netscape doctype.
        {"<!DOCTYPE NETSCAPE-Bookmark-file-1>", "{DOCTYPE}"},
        {"<!doctype netscape-bookmark-file-1>", "{DOCTYPE}"},
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

// Every prefix of a text that mixes all shapes, each in its own exactly sized
// heap block, so that AddressSanitizer sees any read past the terminator.
TEST(Scanner, NeverReadsPastTheEndOfAnyPrefix) {
    const char* sample =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p><DT><H3 FOLDED ADD_DATE=\"1\">F &amp; G</H3>"
        "<DL><p><DT><A HREF=\"http://x/?a>b\" TITLE=\"t>u\" ADD_DATE=\"5\">T&lt;i&nbsp;</A>\r\n<DD>d"
        "</DL><p></a></H2><!-- c --><dd><dt><dl>&quot;&gt;&#1;";
    const size_t length = strlen(sample);
    for (size_t n = 0; n <= length; n++) {
        char* text = static_cast<char*>(malloc(n + 1));
        memcpy(text, sample, n);
        text[n] = '\0';
        BookmarkScanner scanner;
        start_scanner(&scanner, text);
        size_t tokens = 0;
        while (next_token(&scanner)) {
            ASSERT_LE(scanner.cursor, text + n);
            ASSERT_LT(++tokens, n + 1);
        }
        EXPECT_EQ(text + n, scanner.cursor);
        free(text);
    }
}

// Runs of plain characters taken at once leave the scanner exactly where the
// same characters taken one token at a time leave it; a token pushed back
// comes again.
TEST(Scanner, PlainRunsMatchCharacterTokens) {
    const char* pieces[] = {"a",    "Zq",    "  ",     "\r\n",  "\t",       "<",        ">",
                            "&",    "&amp;", "&nbsp;", "&x;",   "&#x2019;", "&eacute;", "<A HREF=\"u\">",
                            "</A>", "<DD>",  "<DT>",   "</DL>", "<b>",      "\xC3\xA4", "\"",
                            "=",    "x y"};
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
            if (length > 0) {
                with_runs.append(run, length);
                for (uint32_t i = 0; i < length; i++) ASSERT_TRUE(next_token(&slow));
                ASSERT_EQ(fast.cursor, slow.cursor) << text;
                ASSERT_EQ(fast.token_start, slow.token_start) << text;
                ASSERT_EQ(fast.kind, slow.kind) << text;
                ASSERT_EQ(fast.previous_kind, slow.previous_kind) << text;
                ASSERT_EQ(std::string(fast.chars, fast.char_count), std::string(slow.chars, slow.char_count)) << text;
            }
            const bool more = next_token(&fast);
            ASSERT_EQ(more, next_token(&slow)) << text;
            if (!more) break;
            if (rng() % 4 == 0) {
                const TokenKind kind = fast.kind;
                push_back(&fast);
                ASSERT_TRUE(next_token(&fast));
                ASSERT_EQ(fast.kind, kind);
                ASSERT_EQ(fast.previous_kind, kind);
                ASSERT_EQ(fast.token_start, slow.token_start);
                slow.previous_kind = kind;
            }
            with_runs += fast.kind == TOK_CHAR ? std::string(fast.chars, fast.char_count) : "{}";
        }
        std::string expected;
        BookmarkScanner plain;
        start_scanner(&plain, text.c_str());
        while (next_token(&plain)) {
            expected += plain.kind == TOK_CHAR ? std::string(plain.chars, plain.char_count) : "{}";
        }
        ASSERT_EQ(with_runs, expected) << text;
    }
}

}  // namespace
