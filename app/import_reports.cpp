// The last import's report and how it is shown.
#include "app/import_reports.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/status_text.h"
#include "collection/import_report.h"
#include "platform/message_box.h"

namespace {

// A message box holds this many lines of reasons before it outgrows the screen.
const int kReasonsShown = 25;

std::string counts_text(const ImportReport* report) {
    char* counts = import_counts_text(report);
    std::string text = counts;
    free(counts);
    return text;
}

}  // namespace

ImportReport* begin_import_report() {
    forget_import_report();
    app_state->last_import = static_cast<ImportReport*>(malloc(sizeof(ImportReport)));
    *app_state->last_import = create_import_report();
    return app_state->last_import;
}

void show_import_counts() {
    if (app_state->last_import) set_status_text(counts_text(app_state->last_import).c_str(), 8000);
}

void show_import_report() {
    const ImportReport* report = app_state->last_import;
    if (!report) return;
    std::string text = counts_text(report);
    if (tb_length(report->sources) != 0) {
        text += "\n\n";
        text.append(tb_text(report->sources), tb_length(report->sources) - 1);
    }
    const char* reasons = tb_text(report->reasons);
    if (*reasons) text += "\n\nSkipped:";
    int shown = 0;
    while (*reasons && shown < kReasonsShown) {
        const size_t length = strcspn(reasons, "\n");
        text += "\n";
        text.append(reasons, length);
        reasons += length + (reasons[length] ? 1 : 0);
        shown++;
    }
    if (report->skipped > static_cast<uint32_t>(shown)) {
        text += "\nand " + std::to_string(report->skipped - static_cast<uint32_t>(shown)) + " more...";
    }
    app_message_box(nullptr, text.c_str(), MB_ICONINFORMATION);
}

void status_bar_clicked() {
    if (!app_state->last_import) return;
    char shown[256] = "";
    HWND bar = app_state->status_bar;
    if (LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0)) < sizeof shown) {
        SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(shown));
    }
    if (counts_text(app_state->last_import) == shown) show_import_report();
}

void forget_import_report() {
    if (!app_state->last_import) return;
    free_import_report(app_state->last_import);
    free(app_state->last_import);
    app_state->last_import = nullptr;
}
