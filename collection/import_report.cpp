// Counting an import's outcomes and keeping its reasons for skipping.
#include "collection/import_report.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// 1204 as "1,204": a source's line gives counts that may run to millions.
std::string grouped(uint32_t number) {
    std::string digits = std::to_string(number);
    for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

}  // namespace

ImportReport create_import_report() { return ImportReport{0, 0, 0, tb_empty(), tb_empty()}; }

void free_import_report(ImportReport* report) {
    tb_free(&report->reasons);
    tb_free(&report->sources);
    *report = create_import_report();
}

const char IMPORT_NO_ADDRESS[] = "no address";

void note_skipped(ImportReport* report, const char* where, const char* why) {
    if (!report) return;
    if (report->skipped++ >= IMPORT_REASONS_KEPT) return;
    tb_append_str(&report->reasons, where);
    tb_append_str(&report->reasons, ": ");
    tb_append_str(&report->reasons, why);
    tb_append_char(&report->reasons, '\n');
}

char* import_counts_text(const ImportReport* report) {
    char text[96];
    snprintf(text, sizeof text, "%u added, %u merged, %u skipped", report->added, report->merged, report->skipped);
    return str_dup(text);
}

void add_source_report(ImportReport* report, const char* source, const ImportReport& part) {
    const std::string line = std::string(source) + ": " + grouped(part.added) + " added, " + grouped(part.merged) +
                             " merged, " + grouped(part.skipped) + " skipped\n";
    tb_append_str(&report->sources, line.c_str());
    report->added += part.added;
    report->merged += part.merged;
    // The reasons kept are the first ones of the whole import; each line ends
    // with a line feed.
    const char* reasons = tb_text(part.reasons);
    for (uint32_t room = IMPORT_REASONS_KEPT - std::min(report->skipped, IMPORT_REASONS_KEPT); *reasons && room > 0;
         room--) {
        const char* end = strchr(reasons, '\n');
        tb_append(&report->reasons, reasons, static_cast<uint32_t>(end + 1 - reasons));
        reasons = end + 1;
    }
    report->skipped += part.skipped;
}

void note_unread_source(ImportReport* report, const char* source, const char* why) {
    tb_append_str(&report->sources, source);
    tb_append_str(&report->sources, ": ");
    tb_append_str(&report->sources, why);
    tb_append_char(&report->sources, '\n');
}
