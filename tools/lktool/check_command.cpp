// lktool check [--wait SECONDS] [--jobs N] [--host-interval SECONDS] [URL...]:
// probes each URL (from the arguments, else one per line of standard input) as
// the program's status checker does, several at once but one at a time per
// site, and prints in the order given URL, value (the date as a decimal number,
// -1 broken, -2 nothing known) and verdict, tab-separated, with a moved page's
// new address after.
//
// lktool check --update [--follow-moved] [--now SECONDS] [--wait SECONDS] [--jobs N]
// [--host-interval SECONDS] COLLECTION: checks every bookmark of a collection
// file, stores the results in it as the program does (with the backup) and
// prints URL, verdict and what the list shows. With --follow-moved, each
// moved bookmark whose new address is not a site's front page or a sign-in
// page (for a deeper page) takes that address, as Update Moved Addresses
// does, and its line ends with the new address.
//
// --archive [--archive-service URL]: a broken page's snapshot is looked up in
// the web archive (the program's default service, or URL), nearest to the
// moment of the check (--now) for URLs, to the bookmark's last good check or
// add date with --update. URLs are printed as URL, value, verdict, new
// address and archived copy, the last two empty where there is none; --update
// prints the archived copy it stores after what the list shows (after the
// new address field, empty when not followed, with --follow-moved).
//
// When no site answers (this computer seems offline) the URLs not judged get
// the verdict "offline" (value -2), nothing is stored for them, and the exit
// status is 3.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "checker/archive_lookup.h"
#include "checker/check_url.h"
#include "checker/net.h"
#include "checker/scheduler.h"
#include "collection/bookmark_reader.h"
#include "collection/check_state.h"
#include "collection/collection.h"
#include "collection/collection_file.h"
#include "collection/moved_addresses.h"
#include "core/bookmark.h"
#include "core/version.h"
#include "tools/lktool/arguments.h"
#include "tools/lktool/commands.h"

namespace {

using CheckedFn = void (*)(const char* url, const CheckResult* result, void* context);

const int EXIT_OFFLINE = 3;

// Checks the URLs on the program's engine and hands each result to the
// callback in the order given; a URL given twice (in any letter case) is
// probed once and handed over twice. The witnesses are URLs whose sites
// answered before; moments, when given, are the URLs' archive moments. True
// when any URL came back offline.
bool check_urls(const std::vector<const char*>& urls, const std::vector<uint32_t>& moments,
                const std::vector<const char*>& witnesses, const CheckerSettings* settings, CheckedFn checked,
                void* context) {
    Checker* checker = checker_create(settings);
    checker_begin_pass(checker);
    for (const char* url : witnesses) checker_add_witness(checker, url);
    for (size_t i = 0; i < urls.size(); i++) {
        checker_add(checker, urls[i], i < moments.size() ? moments[i] : NO_ARCHIVE_LOOKUP);
    }
    checker_add_done(checker);
    std::unordered_map<std::string, CheckResult> results;
    std::vector<CheckDone> done;
    for (size_t next = 0; next < urls.size();) {
        checker_wait(checker, 1000);
        done.clear();
        bool over = checker_take(checker, &done);
        for (CheckDone& d : done) {
            results[url_pass_key(d.url)] = d.result;
            d.result = CheckResult{};
            free_check_done(&d);
        }
        for (auto found = results.find(url_pass_key(urls[next])); found != results.end();) {
            checked(urls[next], &found->second, context);
            if (++next == urls.size()) break;
            found = results.find(url_pass_key(urls[next]));
        }
        if (over) break;  // a URL still without a result would wait for good
    }
    bool offline = checker_offline(checker);
    checker_destroy(checker);
    for (auto& entry : results) free_check_result(&entry.second);
    return offline;
}

// URL, value and verdict, tab-separated.
void print_verdict(const char* url, const CheckResult* result) {
    if (result->value == DATE_BROKEN) {
        printf("%s\t-1\t%s", url, verdict_name(result->verdict));
    } else if (result->value == DATE_UNSET) {
        printf("%s\t-2\t%s", url, verdict_name(result->verdict));
    } else {
        printf("%s\t%u\t%s", url, static_cast<unsigned>(result->value), verdict_name(result->verdict));
    }
}

void end_line() {
    putchar('\n');
    fflush(stdout);
}

void print_result(const char* url, const CheckResult* result, void*) {
    print_verdict(url, result);
    if (result->target) printf("\t%s", result->target);
    end_line();
}

// With the two addresses always there, empty when there is none.
void print_archived_result(const char* url, const CheckResult* result, void*) {
    print_verdict(url, result);
    printf("\t%s\t%s", result->target ? result->target : "", result->archive ? result->archive : "");
    end_line();
}

struct Update {
    Collection* collection;
    uint32_t moment;
    std::unordered_set<const Bookmark*> offline;  // not judged: left as they were
};

// The bookmark with the URL takes the result, as in the program.
void store_result(const char* url, const CheckResult* result, void* context) {
    Update* update = static_cast<Update*>(context);
    Bookmark* record = find_by_url(update->collection, url);
    if (!record) return;
    store_check_result(record, result, update->moment);
    if (result->verdict == VERDICT_OFFLINE) update->offline.insert(record);
}

int update_collection(const char* path, bool clock_fixed, uint32_t seconds, bool follow_moved,
                      const CheckerSettings* settings) {
    const bool archive = settings->archive_service != nullptr;
    Collection collection = create_collection();
    if (clock_fixed) set_fixed_clock(&collection, seconds);
    if (!read_bookmark_file(&collection, path, false, nullptr, nullptr)) {
        report_unreadable_file(path);
        free_collection(&collection);
        return 1;
    }
    Update update = {&collection, now(&collection), {}};
    std::vector<const char*> urls;
    std::vector<uint32_t> moments;
    const PtrVector* by_url = collection.records_by_url;
    for (uint32_t i = 0; i < by_url->count; i++) {
        const Bookmark* record = static_cast<Bookmark*>(by_url->items[i]);
        urls.push_back(record->url);
        if (archive) moments.push_back(archive_moment(record, update.moment));
    }
    std::vector<const char*> witnesses(WITNESSES_KEPT * 4);
    witnesses.resize(answered_urls(collection.records, witnesses.data(), static_cast<uint32_t>(witnesses.size())));
    int status = check_urls(urls, moments, witnesses, settings, store_result, &update) ? EXIT_OFFLINE : 0;
    // A copy: following may delete the record followed (another has its address).
    const std::vector<Bookmark*> records(
        reinterpret_cast<Bookmark**>(collection.records->items),
        reinterpret_cast<Bookmark**>(collection.records->items) + collection.records->count);
    for (Bookmark* record : records) {
        CheckVerdict verdict =
            update.offline.count(record) ? VERDICT_OFFLINE : static_cast<CheckVerdict>(record->verdict);
        printf("%s\t%s\t%s", record->url, verdict_name(verdict), shown_state_name(shown_state(record)));
        const bool follow =
            follow_moved && verdict == VERDICT_MOVED && offers_new_address(record->url, record->moved_to);
        // With both, the new address keeps its field (empty when not followed) before the copy's.
        if (follow || (follow_moved && archive)) printf("\t%s", follow ? record->moved_to : "");
        if (archive) printf("\t%s", record->archive ? record->archive : "");
        if (follow) follow_moved_address(&collection, record);
        putchar('\n');
    }
    if (!save_collection(&collection, path, true)) {
        fprintf(stderr, "Unable to write Ravozorizi to file\n\n%s\n", path);
        status = 1;
    }
    free_collection(&collection);
    return status;
}

// The lines of standard input without their line ends; empty lines left out.
std::vector<std::string> read_lines() {
    std::vector<std::string> lines;
    std::string line;
    for (int c; (c = getchar()) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        line.clear();
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

int run_check_command(int argc, char** argv) {
    // The program's own identity, so that servers answer lktool as they answer the program.
    CheckerSettings settings = {CHECK_CONNECTIONS_DEFAULT,
                                HOST_INTERVAL_DEFAULT_SECONDS * 1000,
                                {APP_VERSION, LK_BUILD_TEXT, PROBE_WAIT_SECONDS, PROBE_CONNECT_SECONDS},
                                nullptr,
                                nullptr};
    bool update = false;
    bool follow_moved = false;
    bool archive = false;
    bool clock_fixed = false;
    uint32_t seconds = 0;
    int i = 0;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; i++) {
        if (strcmp(argv[i], "--update") == 0) {
            update = true;
            continue;
        }
        if (strcmp(argv[i], "--follow-moved") == 0) {
            follow_moved = true;
            continue;
        }
        if (strcmp(argv[i], "--archive") == 0) {
            archive = true;
            continue;
        }
        if (i + 1 >= argc) return print_usage();
        if (strcmp(argv[i], "--wait") == 0) {
            if (!parse_seconds_argument(argv[++i], &settings.probe.wait_seconds)) return print_usage();
        } else if (strcmp(argv[i], "--jobs") == 0) {
            uint32_t& jobs = settings.connections;  // a whole number, read as seconds are
            if (!parse_seconds_argument(argv[++i], &jobs) || jobs < 1 || jobs > CHECK_CONNECTIONS_MAX) {
                return print_usage();
            }
        } else if (strcmp(argv[i], "--host-interval") == 0) {
            char* end;
            double interval = strtod(argv[++i], &end);
            if (*end || !(interval >= 0 && interval <= 3600)) return print_usage();
            settings.host_interval_ms = static_cast<uint32_t>(interval * 1000 + 0.5);
        } else if (strcmp(argv[i], "--archive-service") == 0) {
            settings.archive_service = argv[++i];
        } else if (strcmp(argv[i], "--now") == 0) {
            if (!parse_seconds_argument(argv[++i], &seconds)) return print_usage();
            clock_fixed = true;
        } else {
            return print_usage();
        }
    }
    if (update ? argc - i != 1 : (clock_fixed && !archive) || follow_moved) return print_usage();
    if (settings.archive_service && !archive) return print_usage();
    if (archive && !settings.archive_service) settings.archive_service = ARCHIVE_SERVICE_DEFAULT;
    if (!net_startup()) {
        fputs("lktool check: the socket layer cannot start\n", stderr);
        return 1;
    }
    int status = 0;
    if (update) {
        status = update_collection(argv[i], clock_fixed, seconds, follow_moved, &settings);
    } else {
        std::vector<std::string> lines;
        std::vector<const char*> urls(argv + i, argv + argc);
        if (urls.empty()) {
            lines = read_lines();
            for (const std::string& line : lines) urls.push_back(line.c_str());
        }
        // The page's last known good moment is now, as far as lktool knows.
        uint32_t moment = clock_fixed ? seconds : static_cast<uint32_t>(time(nullptr));
        std::vector<uint32_t> moments(archive ? urls.size() : 0, moment);
        if (check_urls(urls, moments, {}, &settings, archive ? print_archived_result : print_result, nullptr)) {
            status = EXIT_OFFLINE;
        }
    }
    net_cleanup();
    return status;
}
