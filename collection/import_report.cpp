// Counting an import's outcomes and keeping its reasons for skipping.
#include "collection/import_report.h"

#include <cstdio>

ImportReport create_import_report() { return ImportReport{0, 0, 0, tb_empty()}; }

void free_import_report(ImportReport* report) {
    tb_free(&report->reasons);
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
