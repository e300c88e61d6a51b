// Search evaluation over a 100,000-bookmark collection: a one-letter prefix
// (the widest word match), a typical two-word query, a negated word, and the
// site: and is: terms. Every keystroke in the filter box runs one such
// evaluation, so each should take a few milliseconds at most. Also the
// grouping of duplicates over the whole collection (0.3 s at most).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "checker/host_ascii.h"
#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/duplicates.h"
#include "collection/record_terms.h"
#include "search/keyword_index.h"
#include "search/search_eval.h"
#include "search/search_filter.h"
#include "tools/gen_bookmarks/bookmark_generator.h"

namespace {

const uint32_t kBookmarks = 100000;

// The generated 100,000-bookmark file, imported as the program imports a
// browser's bookmark file (keywords taken from titles, descriptions, folders).
struct BenchCollection {
    Collection collection = create_collection();
    RecordTerms terms = create_record_terms(&collection, host_ascii);
    char busiest_letter = 'a';
    std::string site;  // the host of a record in the middle

    BenchCollection() {
        std::string text = generate_bookmark_file(kBookmarks, 1);
        read_bookmark_text(&collection, text.c_str(), true, nullptr, nullptr);
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
        // Checks of every kind spread over the records, a tenth of them failing.
        const CheckVerdict verdicts[] = {VERDICT_OK,    VERDICT_DATED,       VERDICT_MOVED,       VERDICT_GONE,
                                         VERDICT_OK,    VERDICT_UNREACHABLE, VERDICT_BLOCKED,     VERDICT_OK,
                                         VERDICT_DATED, VERDICT_OK,          VERDICT_SERVER_ERROR};
        const PtrVector* records = collection.records;
        for (uint32_t i = 0; i < records->count; i += 2) {
            CheckResult result = {verdicts[i % 11], DATE_UNSET, 200, 0, nullptr, CHECK_ERROR_NONE};
            store_check_result(static_cast<Bookmark*>(records->items[i]), &result, 1700000000 + i);
        }
        const char* url = static_cast<const Bookmark*>(records->items[records->count / 2])->url;
        const char* host = strstr(url, "://") + 3;
        site = std::string(host, strcspn(host, "/?#:"));
    }
    ~BenchCollection() {
        free_record_terms(&terms);
        free_collection(&collection);
    }
};

BenchCollection& bench_collection() {
    static BenchCollection instance;
    return instance;
}

// What happened to the collection before each search.
enum Before {
    NOTHING,
    FRESH_TERMS,     // the terms' host index and page groups made afresh, as at a first search nothing made them for
    ADD_AND_DELETE,  // a bookmark added and the one added before deleted, as in a clean-up: the terms follow
    TITLE_EDIT,      // a title changed, which changes no host and no page
};

void change_collection(BenchCollection& b, Before before, uint32_t round) {
    if (before == FRESH_TERMS) free_record_terms(&b.terms);
    if (before == TITLE_EDIT) note_title_edit(&b.collection);
    if (before != ADD_AND_DELETE) return;
    const std::string url = "http://added.example/" + std::to_string(round);
    add_or_merge(&b.collection, str_dup("added"), str_dup(url.c_str()), nullptr, DATE_UNSET, DATE_UNSET, DATE_UNSET,
                 false);
    Bookmark* previous = find_by_url(&b.collection, ("http://added.example/" + std::to_string(round - 1)).c_str());
    if (previous) delete_record(&b.collection, previous);
}

// One keystroke's work with the filter box's defaults (partial match on, case
// off, implied AND, caret at the end): the search and the hint as shown.
void run_query(benchmark::State& state, const std::string& expression, Before before = NOTHING) {
    BenchCollection& b = bench_collection();
    size_t found = 0;
    static uint32_t round = 0;
    for (auto _ : state) {
        if (before != NOTHING) {
            state.PauseTiming();
            change_collection(b, before, ++round);
            state.ResumeTiming();
        }
        SearchRequest r = {};
        r.index = b.collection.keyword_index;
        r.all_records = b.collection.records;
        r.expression = expression.c_str();
        r.caret = static_cast<int32_t>(expression.size());
        r.partial_match = true;
        r.term_records = record_term_records;
        r.term_context = &b.terms;
        if (run_search(&r) != SEARCH_OK) {
            state.SkipWithError("search failed");
            break;
        }
        tidy_search_hint(r.hint, false);
        found = r.result->count;
        vec_destroy(r.result);
        free(r.hint);
    }
    state.counters["found"] = static_cast<double>(found);
    state.SetLabel(expression);
}

void BM_OneLetterPrefix(benchmark::State& state) {
    run_query(state, std::string(1, bench_collection().busiest_letter));
}

void BM_TwoWords(benchmark::State& state) { run_query(state, "python tutorial"); }

void BM_NotWord(benchmark::State& state) { run_query(state, "!news"); }

void BM_IsBroken(benchmark::State& state) { run_query(state, "is:broken"); }

void BM_Site(benchmark::State& state) { run_query(state, "site:" + bench_collection().site); }

void BM_BrokenNotSite(benchmark::State& state) {
    run_query(state, "(is:broken | is:suspect) & !site:" + bench_collection().site);
}

void BM_SiteFirst(benchmark::State& state) { run_query(state, "site:" + bench_collection().site, FRESH_TERMS); }

void BM_SiteAfterAddAndDelete(benchmark::State& state) {
    run_query(state, "site:" + bench_collection().site, ADD_AND_DELETE);
}

void BM_SiteAfterTitleEdit(benchmark::State& state) { run_query(state, "site:" + bench_collection().site, TITLE_EDIT); }

// Typed again with the collection unchanged: the groups found before serve.
void BM_IsDuplicate(benchmark::State& state) { run_query(state, "is:duplicate"); }

void BM_IsDuplicateFirst(benchmark::State& state) { run_query(state, "is:duplicate", FRESH_TERMS); }

void BM_IsDuplicateAfterAddAndDelete(benchmark::State& state) { run_query(state, "is:duplicate", ADD_AND_DELETE); }

void BM_IsDuplicateAfterTitleEdit(benchmark::State& state) { run_query(state, "is:duplicate", TITLE_EDIT); }

// The window makes both indexes ahead: the copies on its own thread, which
// it pays once after start-up and after a URL changed in place, then the
// indexes on a worker's.
void BM_CopyForTermsAhead(benchmark::State& state) {
    for (auto _ : state) {
        RecordTermsJob* job = copy_for_record_terms(&bench_collection().terms);
        state.PauseTiming();
        free_record_terms_job(job);
        state.ResumeTiming();
    }
}

void BM_MakeTermsAhead(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        RecordTermsJob* job = copy_for_record_terms(&bench_collection().terms);
        state.ResumeTiming();
        make_record_terms(job);
        state.PauseTiming();
        free_record_terms_job(job);
        state.ResumeTiming();
    }
}

void BM_GroupDuplicates(benchmark::State& state) {
    const PtrVector* records = bench_collection().collection.records;
    size_t groups = 0;
    for (auto _ : state) groups = find_duplicates(records).size();
    state.counters["groups"] = static_cast<double>(groups);
}

BENCHMARK(BM_OneLetterPrefix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsBroken)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Site)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrokenNotSite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SiteFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SiteAfterAddAndDelete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SiteAfterTitleEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsDuplicate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsDuplicateFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsDuplicateAfterAddAndDelete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsDuplicateAfterTitleEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyForTermsAhead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeTermsAhead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupDuplicates)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NotWord)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
