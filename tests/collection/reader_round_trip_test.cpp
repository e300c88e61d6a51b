// Exports read into a collection that survives save and reload unchanged, and
// random, mutated and truncated files that never break the reader or the collection.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/collection_file.h"
#include "collection/import_report.h"
#include "tests/collection/collection_invariants.h"
#include "tests/take_text.h"
#include "tools/gen_bookmarks/bookmark_generator.h"

namespace {

const uint32_t kNow = 1700000000;

const char* const kFixtures[] = {"netscape4.htm",     "firefox.htm",          "chrome.htm",
                                 "lowercase.htm",     "missing_end_tags.htm", "truncated.htm",
                                 "tagged_export.htm", "service_export.htm",   "ansi_export.htm"};

std::string read_fixture(const char* name) {
    char* text;
    uint32_t size;
    EXPECT_TRUE(load_bookmark_file((std::string(LK_TEST_DATA_DIR "/collection/") + name).c_str(), &text, &size))
        << name;
    std::string out(text ? text : "", size);
    free(text);
    return out;
}

// Copies the text into a block of exactly its size, so that AddressSanitizer
// reports any read past the terminator.
void parse_exact(Collection* collection, const std::string& text, bool automatic, ImportReport* report = nullptr) {
    char* block = static_cast<char*>(malloc(text.size() + 1));
    memcpy(block, text.data(), text.size());
    block[text.size()] = '\0';
    read_bookmark_text(collection, block, automatic, nullptr, nullptr, report);
    free(block);
}

// Reads, checks, saves and reloads: the same bookmarks, saved as the same
// bytes. Answers the number of bookmarks read.
uint32_t expect_survives_reload(const std::string& text, bool automatic) {
    // Undated bookmarks take a fixed moment, so that the texts compared stay the same.
    Collection first = create_collection(), second = create_collection();
    set_fixed_clock(&first, kNow);
    set_fixed_clock(&second, kNow);
    ImportReport report = create_import_report();
    parse_exact(&first, text, automatic, &report);
    EXPECT_EQ("", check_collection(&first));
    EXPECT_EQ(report.added, first.records->count) << "every bookmark added is counted once";
    free_import_report(&report);
    const std::string saved = take_text(build_collection_text(first.records));
    parse_exact(&second, saved, automatic);
    EXPECT_EQ("", check_collection(&second));
    EXPECT_EQ(dump_records(&first), dump_records(&second));
    EXPECT_EQ(saved, take_text(build_collection_text(second.records)));

    const uint32_t count = first.records->count;
    free_collection(&first);
    free_collection(&second);
    return count;
}

// Pieces of bookmark files, and the ones that break them, separated by '|';
// COLLECTION stands for the collection file's header.
std::vector<std::string> pieces() {
    const std::string all =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>|<DT>|<dt>|<DD>|<DL><p>|<DL>|</DL>|</dl>|<A HREF=\"|<a href=\"|"
        "\">|\" ADD_DATE=\"|\" LAST_VISIT=\"|\" LAST_MODIFIED=\"|\" TITLE=\"|\"|>|<|</A>|</a>|<H3>|"
        "<H3 FOLDED>|</H3>|</h3>|<H1 A=\">\">|<HR>|<!-- | -->|&amp;|&lt;|&gt;|&quot;|&nbsp;|&|&#38;| |  |"
        "\r\n|\t|\n|http://example.com/|#frag|Home|Page|news|Web|web|WEB|x|a-b|Bob's|(beta)|4294967296|123|"
        "-7|\xc3\xa9|\xe6\x9d\xb1|\xd0\x9c\xd0\xbe\xd1\x81|\xe2\x80\x94|\xf0\x9f\x8e\x89|\xff|\xc3|\x80|\x0b|"
        "\x01|&#39;|&#x2019;|&eacute;|&hellip;|&apos;|&#0;|&#xD800;|&#1114112;|&#99999999999;|&#32;|&#9;|"
        "&nbsp|&#|<dl>|<dl><p>|<h3>|</h3>|<!doctype netscape-bookmark-file-1>|\" TAGS=\"a,b&amp;c,\xc3\xa4|"
        "\" tags='|\" add_date=\"|' last_visit=|1700000000123|1700000000123456|COLLECTION|"
        "\" LAST_CHECK=\"|\" CHECK_VERDICT=\"|moved|gone|\" CHECK_STATUS=\"|\" CHECK_ERROR=\"|\" FIRST_FAILURE=\"|\" "
        "MOVED_TO=\"|\" FOLDER=\"|a/b|%2F|%z|%4|"
        "<DT><A HREF=\"http://c/\" LAST_CHECK=\"9\" CHECK_VERDICT=\"gone\" FIRST_FAILURE=\"8\">C</A>|"
        "<DT><A HREF=\"http://a/\" ADD_DATE=\"1\">A</A>\r\n<DD>k\r\n";
    std::vector<std::string> out(1);
    for (char c : all) {
        if (c == '|') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}
const std::vector<std::string> kPieces = pieces();

std::string random_document(std::mt19937* rng) {
    std::string text;
    if ((*rng)() % 4 == 0) text = COLLECTION_FILE_HEADER;
    const size_t pieces = (*rng)() % 300;
    for (size_t i = 0; i < pieces; i++) {
        const std::string& piece = kPieces[(*rng)() % kPieces.size()];
        text += piece == "COLLECTION" ? std::string(COLLECTION_FILE_HEADER) : piece;
    }
    return text;
}

std::string mutated(std::string text, std::mt19937* rng) {
    const int edits = 1 + static_cast<int>((*rng)() % 8);
    for (int e = 0; e < edits && !text.empty(); e++) {
        const size_t at = (*rng)() % text.size();
        switch ((*rng)() % 4) {
            case 0:
                text[at] = static_cast<char>(1 + (*rng)() % 255);
                break;
            case 1:
                text.insert(at, kPieces[(*rng)() % kPieces.size()]);
                break;
            case 2:
                text.erase(at, (*rng)() % 64);
                break;
            default:
                text.resize(at);
                break;
        }
    }
    return text;
}

TEST(ReaderRoundTrip, RandomAndMutatedDocumentsReadSafelyAndSurviveReload) {
    std::mt19937 rng(20261206);
    uint32_t bookmarks = 0;
    for (int i = 0; i < 3000; i++) {
        SCOPED_TRACE(i);
        // First a large generated export, some URLs again in another letter case, which merge.
        const std::string text = i == 0  ? generate_bookmark_file(3000, 7)
                                 : i % 2 ? random_document(&rng)
                                         : mutated(read_fixture(kFixtures[rng() % std::size(kFixtures)]), &rng);
        bookmarks += expect_survives_reload(text, rng() % 2 == 0);
        if (HasFailure()) return;
    }
    EXPECT_GT(bookmarks, 6700u);
}

}  // namespace
