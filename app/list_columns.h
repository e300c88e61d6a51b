// The list's columns: which there are, which are shown and in what order, the
// text of their cells, the numbers their rows sort by, and the header's menu
// that shows and hides them. The options hold the shown columns in display
// order; the list's own columns are rebuilt from them whenever that changes.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>

#include "core/bookmark.h"

enum ListColumn { COLUMN_TITLE, COLUMN_URL, COLUMN_STATUS, COLUMN_ADDED, COLUMN_LAST_VISIT, LIST_COLUMN_COUNT };

struct Options;

// "Title", "URL", "Status", "Added", "Last Visit".
const char* list_column_name(int column);
int default_column_width(int column);

// The shown columns from a "Columns" text: names separated by commas, in
// display order. Unknown and repeated names are passed over; Title, which is
// always shown, goes first when missing; no name at all gives the default
// Title, URL and Status.
void read_shown_columns(const char* text, Options* options);
std::string shown_columns_text(const Options* options);

// Gives the list the shown columns of the options, their widths and order.
// False when a column cannot be inserted.
bool insert_list_columns(HWND list);
// Takes the columns' widths and display order from the list into the options.
void take_list_columns(Options* options);
// The column (a ListColumn) that the list's column of this index shows.
int column_of_index(int index);

// The header's menu, at a point on the screen: every column, ticked when
// shown; Title cannot be hidden. Its commands are IDM_SHOW_COLUMN + a column.
void show_header_menu(POINT screen);
// Shows a hidden column (at the end) or hides a shown one, but Title.
void toggle_list_column(int column);
// Marks the sorted column's header with the sort direction.
void show_sort_mark(HWND list);

// The text of a row's cell: Title and URL point at the record's texts, the
// others are written into the item's buffer.
void give_cell_text(const Bookmark* record, LVITEMA* item);

// Orders the rows of a Status, Added or Last Visit column: Status from the
// worst news to the best, then by its date; the dates from the earliest.
// Blank cells (no date, not checked) have KEY_BLANK, and stay last.
const uint64_t KEY_BLANK = UINT64_MAX;
uint64_t column_number_key(const Bookmark* record, int column);
