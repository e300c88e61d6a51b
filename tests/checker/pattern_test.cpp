// The checker's patterns under std::regex give the same matches and
// subexpressions as the system's own POSIX engine (regcomp and regexec) on
// random texts built from the characters that matter to them.
#include <gtest/gtest.h>
#include <regex.h>

#include <random>
#include <string>

#include "checker/last_modified.h"
#include "checker/url.h"
#include "core/bookmark.h"

namespace {

const char* const URL_PATTERN =
    "((([-+.a-zA-Z]|([%][0-9A-F]{2}))+)://)?([-%@=&;?$_.+!*'(),a-zA-Z0-9.]+)([:]([0-9]+))?"
    "([-%@=&;?$_.+!*'(),a-zA-Z0-9./]*)([#-%@=&;?$_.+!*'(),a-zA-Z0-9./]+)?";
const char* const RFC_FORM =
    "odified:[ ]*[a-zA-Z]+[,]?[ ]+([0-9]+)[- ]+([a-zA-Z]+)[- ]+([0-9]+)[ ]+([0-9]+)[:]([0-9]+)[:]([0-9]+)";
const char* const ASCTIME_FORM =
    "odified:[ ]*[a-zA-Z]+[ ]+([a-zA-Z]+)[ ]+([0-9]+)[ ]+([0-9]+)[:]([0-9]+)[:]([0-9]+)[ ]+([0-9]+)";

std::string random_text(std::mt19937& random, const std::string& alphabet, const std::string& seed) {
    std::string text;
    size_t pieces = random() % 6;
    for (size_t p = 0; p < pieces; p++) {
        if (random() % 2) {
            text += seed.substr(random() % seed.size(), random() % 12);
        } else {
            size_t length = random() % 8;
            for (size_t i = 0; i < length; i++) text += alphabet[random() % alphabet.size()];
        }
    }
    return text;
}

std::string span(const std::string& text, const regmatch_t& m) {
    return m.rm_so < 0 ? std::string() : text.substr(m.rm_so, m.rm_eo - m.rm_so);
}

TEST(Patterns, UrlSplitAgreesWithTheSystemEngine) {
    regex_t system;
    ASSERT_EQ(regcomp(&system, URL_PATTERN, REG_EXTENDED | REG_ICASE), 0);
    std::mt19937 random(42);
    const std::string seed = "HTTPS://user@www.Example.com:8080/a/b.html?q=1&r=%41#frag~x";
    int with_port_and_path = 0;
    for (int round = 0; round < 20000; round++) {
        std::string text = random_text(random, ":/.#%~?@ AZaz09<>", seed);
        regmatch_t m[10];
        bool expected = regexec(&system, text.c_str(), 10, m, 0) == 0;
        ParsedUrl url;
        ASSERT_EQ(parse_url(text.c_str(), &url), expected) << text;
        if (expected) {
            EXPECT_EQ(url.host, span(text, m[5])) << text;
            EXPECT_EQ(url.path ? std::string(url.path) : std::string(), span(text, m[8])) << text;
            EXPECT_EQ(url.port_written, m[7].rm_so >= 0 && m[7].rm_eo > m[7].rm_so) << text;
            if (url.port_written && url.path) with_port_and_path++;
            EXPECT_EQ(url.secure,
                      span(text, m[2]).size() >= 5 && strncasecmp(span(text, m[2]).c_str(), "https", 5) == 0)
                << text;
        }
        free_parsed_url(&url);
    }
    EXPECT_GT(with_port_and_path, 500);
    regfree(&system);
}

// A few characters of one of the texts replaced, dropped or doubled.
std::string mutated(std::mt19937& random, const char* const* texts, size_t count, const std::string& alphabet) {
    std::string text = texts[random() % count];
    size_t changes = random() % 4;
    for (size_t i = 0; i < changes; i++) {
        size_t at = random() % text.size();
        switch (random() % 3) {
            case 0:
                text[at] = alphabet[random() % alphabet.size()];
                break;
            case 1:
                text.erase(at, 1);
                break;
            default:
                text.insert(at, 1, text[at]);
                break;
        }
    }
    return text;
}

TEST(Patterns, DateFormsAgreeWithTheSystemEngine) {
    regex_t rfc, asctime_form;
    ASSERT_EQ(regcomp(&rfc, RFC_FORM, REG_EXTENDED), 0);
    ASSERT_EQ(regcomp(&asctime_form, ASCTIME_FORM, REG_EXTENDED), 0);
    std::mt19937 random(7);
    const char* const forms[] = {
        "Last-Modified: Sunday, 06-Nov-94 08:49:37 GMT\r\n",
        "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\n",
        "Last-modified: Sun Nov  6 08:49:37 1994\r\n",
        "X: 1\r\nLast-Modified: Mon Feb 30 25:61:61 2038\r\nLast-Modified: Tue, 1 Jan 70 0:0:0\r\n",
    };
    int dated = 0;
    for (int round = 0; round < 20000; round++) {
        std::string text = mutated(random, forms, 4, " ,-:019NovJanSun");
        regmatch_t m[7];
        DateSpans spans;
        uint32_t expected = DATE_UNSET;
        auto at = [&](int i) { return TextSpan{static_cast<uint32_t>(m[i].rm_so), static_cast<uint32_t>(m[i].rm_eo)}; };
        if (regexec(&rfc, text.c_str(), 7, m, 0) == 0) {
            spans = {at(1), at(2), at(3), at(4), at(5), at(6)};
            expected = make_date(text.c_str(), &spans);
        } else if (regexec(&asctime_form, text.c_str(), 7, m, 0) == 0) {
            spans = {at(2), at(1), at(6), at(3), at(4), at(5)};
            expected = make_date(text.c_str(), &spans);
        }
        ASSERT_EQ(parse_last_modified(text.c_str()), expected) << text;
        if (expected != DATE_UNSET) dated++;
    }
    EXPECT_GT(dated, 500);
    regfree(&rfc);
    regfree(&asctime_form);
}

}  // namespace
