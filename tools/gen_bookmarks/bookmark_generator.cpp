// Large, realistic Netscape-format bookmark files, deterministic by seed.
#include "tools/gen_bookmarks/bookmark_generator.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// splitmix64: small, fast and the same on every platform.
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
    bool chance(uint32_t percent) { return below(100) < percent; }
};

const char* const kCommonWords[] = {
    "the",     "home",     "page",     "news",   "online", "guide",     "free",    "best",     "how",
    "to",      "and",      "of",       "for",    "with",   "your",      "Welcome", "official", "site",
    "blog",    "tutorial", "review",   "2024",   "Python", "Linux",     "recipes", "travel",   "music",
    "Weather", "forum",    "download", "docs",   "API",    "reference", "manual",  "search",   "shop",
    "about",   "my",       "new",      "latest", "top",    "list",      "open",    "source",   "project",
};

const char* const kUtf8Words[] = {
    "caf\xc3\xa9",
    "na\xc3\xafve",
    "Gr\xc3\xb6\xc3\x9f"
    "e",
    "\xe6\x9d\xb1\xe4\xba\xac",
    "\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0",
    "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e",
    "Espa\xc3\xb1"
    "a",
    "\xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1",
    "M\xc3\xbcnchen",
};

const char* const kEntityPieces[] = {" &amp; ", " &lt;beta&gt;", " &quot;quoted&quot;", " it&#39;s", " &nbsp;-"};

const char* const kTlds[] = {".com", ".org", ".net", ".de", ".co.uk", ".io", ".edu", ".jp"};

const char* const kSyllables[] = {"ka",  "lo",  "mi",  "ne", "ta", "ri", "so",  "ver", "in",  "ter",
                                  "net", "web", "com", "pu", "st", "ar", "gle", "on",  "da",  "be",
                                  "qu",  "ix",  "zo",  "fl", "ur", "ma", "pe",  "dy",  "shi", "ro"};

struct Vocabulary {
    std::vector<std::string> words;
    std::vector<double> cumulative;  // weight of rank r is 1/r

    Vocabulary(Random* rng, uint32_t size) {
        for (const char* w : kCommonWords) words.push_back(w);
        while (words.size() < size) {
            std::string word;
            for (uint32_t n = 2 + rng->below(3); n > 0; n--) word += kSyllables[rng->below(30)];
            if (rng->chance(20)) word[0] = static_cast<char>(word[0] - 32);
            words.push_back(word);
        }
        double total = 0;
        for (size_t r = 1; r <= words.size(); r++) {
            total += 1.0 / static_cast<double>(r);
            cumulative.push_back(total);
        }
    }

    const std::string& pick(Random* rng) const {
        const double x = static_cast<double>(rng->next() >> 11) * (1.0 / 9007199254740992.0) * cumulative.back();
        size_t rank =
            static_cast<size_t>(std::lower_bound(cumulative.begin(), cumulative.end(), x) - cumulative.begin());
        return words[std::min(rank, words.size() - 1)];
    }
};

struct Generator {
    Random rng;
    Vocabulary vocabulary;
    std::vector<std::string> hosts;
    std::vector<std::string> urls;  // earlier URLs, for repeats in another letter case
    std::string out;
    uint32_t depth = 0;

    explicit Generator(uint64_t seed) : rng{seed}, vocabulary(&rng, 20000) {
        for (int i = 0; i < 20000; i++) {
            std::string host = (rng.chance(60) ? "www." : "") + vocabulary.pick(&rng) +
                               vocabulary.words[rng.below(static_cast<uint32_t>(vocabulary.words.size()))];
            for (char& c : host) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            hosts.push_back(host + kTlds[rng.below(8)]);
        }
    }

    void indent() { out.append(4 * (depth + 1), ' '); }

    void words(uint32_t count) {
        for (uint32_t i = 0; i < count; i++) {
            if (i > 0) out += ' ';
            if (rng.chance(3)) {
                out += kUtf8Words[rng.below(9)];
            } else {
                out += vocabulary.pick(&rng);
            }
        }
    }

    void date_attribute(const char* name, uint32_t value) {
        char scratch[40];
        snprintf(scratch, sizeof scratch, " %s=\"%u\"", name, static_cast<unsigned>(value));
        out += scratch;
    }

    std::string new_url() {
        std::string url = rng.chance(80) ? "https://" : "http://";
        url += hosts[rng.below(static_cast<uint32_t>(hosts.size()))];
        for (uint32_t n = rng.below(4); n > 0; n--) url += "/" + vocabulary.pick(&rng);
        if (rng.chance(40)) url += "/" + std::to_string(rng.below(1000000)) + ".html";
        if (rng.chance(25)) url += "?id=" + std::to_string(rng.below(100000)) + "&amp;lang=en";
        if (rng.chance(5)) url += "#section-" + std::to_string(rng.below(20));
        return url;
    }

    // The same address with the letter case of its host (or all of it) changed.
    std::string repeated_url() {
        std::string url = urls[rng.below(static_cast<uint32_t>(urls.size()))];
        const bool whole = rng.chance(30);
        size_t end = whole ? url.size() : url.find('/', 8);
        if (end == std::string::npos) end = url.size();
        for (size_t i = 0; i < end; i++) {
            if (url[i] >= 'a' && url[i] <= 'z') url[i] = static_cast<char>(url[i] - 32);
        }
        return url;
    }

    void open_folder() {
        indent();
        out += "<DT><H3";
        const uint32_t added = 1100000000 + rng.below(600000000);
        date_attribute("ADD_DATE", added);
        date_attribute("LAST_MODIFIED", added + rng.below(50000000));
        if (rng.chance(30)) out += " FOLDED";
        out += '>';
        words(1 + rng.below(3));
        out += "</H3>\n";
        if (rng.chance(10)) {
            indent();
            out += "<DD>";
            words(3 + rng.below(8));
            out += '\n';
        }
        indent();
        out += "<DL><p>\n";
        depth++;
    }

    void close_folder() {
        depth--;
        indent();
        out += "</DL><p>\n";
    }

    void bookmark() {
        std::string url = (!urls.empty() && rng.chance(5)) ? repeated_url() : new_url();
        indent();
        out += "<DT><A HREF=\"" + url + "\"";
        const uint32_t added = 1100000000 + rng.below(600000000);
        date_attribute("ADD_DATE", added);
        if (rng.chance(40)) date_attribute("LAST_VISIT", added + rng.below(80000000));
        date_attribute("LAST_MODIFIED", added + rng.below(30000000));
        if (rng.chance(50)) {
            out += " ICON_URI=\"" + url.substr(0, url.find('/', 8)) + "/favicon.ico\"";
        }
        if (rng.chance(15)) {
            out += " TAGS=\"" + vocabulary.pick(&rng) + "," + vocabulary.pick(&rng) + "\"";
        }
        out += '>';
        words(2 + rng.below(7));
        if (rng.chance(8)) out += kEntityPieces[rng.below(5)];
        out += "</A>\n";
        if (rng.chance(30)) {
            indent();
            out += "<DD>";
            words(4 + rng.below(12));
            out += '\n';
        }
        urls.push_back(url);
    }
};

}  // namespace

std::string generate_bookmark_file(uint32_t bookmarks, uint64_t seed) {
    Generator g(seed);
    g.out.reserve(static_cast<size_t>(bookmarks) * 220 + 1024);
    g.out +=
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<!-- This is an automatically generated file.\n"
        "     It will be read and overwritten.\n"
        "     DO NOT EDIT! -->\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
        "<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks Menu</H1>\n\n"
        "<DL><p>\n";
    for (uint32_t i = 0; i < bookmarks; i++) {
        const uint32_t roll = g.rng.below(100);
        if (roll < 4 && g.depth < 6) {
            g.open_folder();
        } else if (roll < 8 && g.depth > 0) {
            g.close_folder();
        } else if (roll == 8) {
            g.indent();
            g.out += "<HR>\n";
        }
        g.bookmark();
    }
    while (g.depth > 0) g.close_folder();
    g.out += "</DL>\n";
    return g.out;
}
