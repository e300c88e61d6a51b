// Search evaluation over a 100,000-bookmark collection: a one-letter prefix
// (the widest word match), a typical two-word query, and a negated word. Every
// keystroke in the filter box runs one such evaluation, so each should take a
// few milliseconds at most.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "collection/collection.h"
#include "search/keyword_index.h"
#include "search/search_eval.h"

namespace {

const int kBookmarks = 100000;
const int kVocabulary = 30000;

// Pronounceable made-up words; a Zipf-like choice among them gives titles the
// skew of real ones (a few very common words, a long tail of rare ones).
std::string make_word(std::mt19937* rng) {
    static const char* const syllables[] = {"ka", "lo", "mi", "ne", "ta", "ri", "so", "ver", "in", "ter",
                                            "net", "web", "com", "pu", "st", "ar", "gle", "on", "da", "be"};
    std::string word;
    for (int n = 2 + static_cast<int>((*rng)() % 3); n > 0; n--) word += syllables[(*rng)() % 20];
    if ((*rng)() % 5 == 0) word[0] = static_cast<char>(word[0] - 32);  // some capitalised spellings
    return word;
}

struct BenchCollection {
    Collection collection = create_collection();
    std::vector<std::string> vocabulary;
    char busiest_letter = 'a';

    BenchCollection() {
        std::mt19937 rng(1);
        for (int i = 0; i < kVocabulary; i++) vocabulary.push_back(make_word(&rng));
        // Rank r is chosen with a weight of about 1/r.
        std::vector<double> weights;
        for (int r = 1; r <= kVocabulary; r++) weights.push_back(1.0 / r);
        std::discrete_distribution<int> zipf(weights.begin(), weights.end());
        for (int i = 0; i < kBookmarks; i++) {
            std::string title;
            for (int n = 3 + static_cast<int>(rng() % 6); n > 0; n--) {
                if (!title.empty()) title += ' ';
                title += vocabulary[static_cast<size_t>(zipf(rng))];
            }
            std::string url = "http://host" + std::to_string(i) + ".example/page";
            add_or_merge(&collection, str_dup(title.c_str()), str_dup(url.c_str()), nullptr, DATE_UNSET,
                         DATE_UNSET, DATE_UNSET, true);
        }
        // The letter whose words carry the most records, ignoring case.
        size_t postings[26] = {};
        const PtrVector* entries = collection.keyword_index->entries;
        for (uint32_t i = 0; i < entries->count; i++) {
            const WordEntry* e = static_cast<const WordEntry*>(entries->items[i]);
            char c = fold_ascii(e->word[0]);
            if (c >= 'a' && c <= 'z') postings[c - 'a'] += e->records->count;
        }
        for (int c = 0; c < 26; c++) {
            if (postings[c] > postings[busiest_letter - 'a']) busiest_letter = static_cast<char>('a' + c);
        }
    }
};

BenchCollection& bench_collection() {
    static BenchCollection instance;
    return instance;
}

// The filter box's defaults: partial match on, case off, implied AND, caret at the end.
void run_query(benchmark::State& state, const std::string& expression) {
    BenchCollection& b = bench_collection();
    size_t found = 0;
    for (auto _ : state) {
        SearchRequest r = {};
        r.index = b.collection.keyword_index;
        r.all_records = b.collection.records;
        r.expression = expression.c_str();
        r.caret = static_cast<int32_t>(expression.size());
        r.partial_match = true;
        if (run_search(&r) != SEARCH_OK) {
            state.SkipWithError("search failed");
            break;
        }
        found = r.result->count;
        vec_destroy(r.result);
        free(r.hint);
    }
    state.counters["found"] = static_cast<double>(found);
}

void BM_OneLetterPrefix(benchmark::State& state) {
    run_query(state, std::string(1, bench_collection().busiest_letter));
}

// Two common words, given as prefixes the way they are typed.
void BM_TwoWords(benchmark::State& state) {
    const std::vector<std::string>& v = bench_collection().vocabulary;
    run_query(state, v[3].substr(0, 4) + " " + v[10].substr(0, 5));
}

void BM_NotWord(benchmark::State& state) { run_query(state, "!" + bench_collection().vocabulary[0]); }

BENCHMARK(BM_OneLetterPrefix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NotWord)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
