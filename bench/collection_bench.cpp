// Loading and saving generated bookmark files of 10,000 and 100,000 bookmarks:
// the start-up and import path (read, scan, parse, merge, index) and the save
// at close (build the collection text, write it). Loading 100,000 bookmarks
// should take well under half a second and saving well under a tenth.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/collection_file.h"
#include "collection/scanner.h"
#include "collection/undo_history.h"
#include "core/whole_file.h"
#include "tools/gen_bookmarks/bookmark_generator.h"

namespace {

// One generated file per size, written once to the temporary folder and
// removed when the benchmarks end.
struct GeneratedFiles {
    std::map<uint32_t, std::string> paths;
    ~GeneratedFiles() {
        for (const auto& entry : paths) remove(entry.second.c_str());
    }
};

const std::string& generated_file(uint32_t bookmarks) {
    static GeneratedFiles files;
    std::string& path = files.paths[bookmarks];
    if (path.empty()) {
        const char* tmp = getenv("TMPDIR");
        path = std::string(tmp ? tmp : "/tmp") + "/lk_bench_" + std::to_string(bookmarks) + ".htm";
        write_whole_file(path.c_str(), generate_bookmark_file(bookmarks, 1).c_str());
    }
    return path;
}

void set_bytes(benchmark::State& state, uint32_t size) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}

void BM_ReadFile(benchmark::State& state) {
    const std::string& path = generated_file(static_cast<uint32_t>(state.range(0)));
    uint32_t size = 0;
    for (auto _ : state) {
        char* text;
        read_whole_file(path.c_str(), &text, &size);
        free(text);
    }
    set_bytes(state, size);
}

void BM_ScanTokens(benchmark::State& state) {
    char* text;
    uint32_t size;
    read_whole_file(generated_file(static_cast<uint32_t>(state.range(0))).c_str(), &text, &size);
    for (auto _ : state) {
        BookmarkScanner scanner;
        start_scanner(&scanner, text);
        size_t tokens = 0;
        while (next_token(&scanner)) tokens++;
        benchmark::DoNotOptimize(tokens);
    }
    set_bytes(state, size);
    free(text);
}

// The whole load as the program does it: file, tokens, bookmarks, merge, index.
void BM_LoadFile(benchmark::State& state) {
    const std::string& path = generated_file(static_cast<uint32_t>(state.range(0)));
    uint32_t records = 0;
    for (auto _ : state) {
        Collection collection = create_collection();
        read_bookmark_file(&collection, path.c_str(), true, nullptr, nullptr);
        records = collection.records->count;
        state.PauseTiming();
        free_collection(&collection);
        state.ResumeTiming();
    }
    state.counters["bookmarks"] = records;
}

// Reading the program's own collection file (keywords stored, no folders).
void BM_LoadCollectionFile(benchmark::State& state) {
    Collection source = create_collection();
    read_bookmark_file(&source, generated_file(static_cast<uint32_t>(state.range(0))).c_str(), true, nullptr, nullptr);
    const std::string path = generated_file(static_cast<uint32_t>(state.range(0))) + ".lk.htm";
    save_collection(&source, path.c_str(), false);
    free_collection(&source);
    for (auto _ : state) {
        Collection collection = create_collection();
        read_bookmark_file(&collection, path.c_str(), false, nullptr, nullptr);
        state.PauseTiming();
        free_collection(&collection);
        state.ResumeTiming();
    }
    remove(path.c_str());
}

void BM_BuildCollectionText(benchmark::State& state) {
    Collection collection = create_collection();
    read_bookmark_file(&collection, generated_file(static_cast<uint32_t>(state.range(0))).c_str(), true, nullptr,
                       nullptr);
    size_t size = 0;
    for (auto _ : state) {
        char* text = build_collection_text(collection.records);
        size = strlen(text);
        free(text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
    free_collection(&collection);
}

// The save at close: text built and written over the previous file.
void BM_SaveCollection(benchmark::State& state) {
    Collection collection = create_collection();
    const std::string& source = generated_file(static_cast<uint32_t>(state.range(0)));
    read_bookmark_file(&collection, source.c_str(), true, nullptr, nullptr);
    const std::string path = source + ".saved.htm";
    for (auto _ : state) save_collection(&collection, path.c_str(), false);
    remove(path.c_str());
    free_collection(&collection);
}

// Undo of a delete of every tenth bookmark, scattered through the collection:
// each one made again in its place by identity, by URL and in the index.
void BM_UndoDelete(benchmark::State& state) {
    Collection collection = create_collection();
    read_bookmark_file(&collection, generated_file(static_cast<uint32_t>(state.range(0))).c_str(), true, nullptr,
                       nullptr);
    UndoHistory* history = create_undo_history(UNDO_STEPS_KEPT, UNDO_BYTES_KEPT);
    for (auto _ : state) {
        state.PauseTiming();
        PtrVector* chosen = vec_create();
        for (uint32_t i = 0; i < collection.records->count; i += 10) vec_append(chosen, collection.records->items[i]);
        begin_undo_step(history);
        for (uint32_t i = 0; i < chosen->count; i++) {
            note_undo_record(history, static_cast<Bookmark*>(chosen->items[i]));
            delete_record(&collection, static_cast<Bookmark*>(chosen->items[i]));
        }
        end_undo_step(history, "Delete");
        vec_destroy(chosen);
        state.ResumeTiming();
        undo_last_step(history, &collection, nullptr, nullptr, 0);
    }
    free_undo_history(history);
    free_collection(&collection);
}

}  // namespace

BENCHMARK(BM_ReadFile)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanTokens)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFile)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCollectionFile)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildCollectionText)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoDelete)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCollection)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
