// Imports as the user sees them: "N added, M merged, K skipped" in the status
// bar after an import, and on request (the Import Report command, or a click
// on that status text) the entries it skipped and why.
#pragma once

struct ImportReport;

// Starts the report of a new import, in place of the last one. The report
// stays the application state's until the next import or the end.
ImportReport* begin_import_report();

// Shows the last report's counts in the status bar for 8 seconds.
void show_import_counts();

// The Import Report command: the last import's counts and reasons.
void show_import_report();

// A click on the status bar: the report, while its counts are shown.
void status_bar_clicked();

// Frees the last report.
void forget_import_report();
