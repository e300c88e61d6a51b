// The list of bookmarks: rows that point at records, their on-demand text and
// status icons, sorting, and the selection. The list holds no items of its
// own (it is an owner-data list): its rows are app_state->shown_records, so
// filling, sorting and emptying it cost no per-row work in the control, which
// keeps typing in the filter fluid over a large collection.
#pragma once

#include <windows.h>

#include "core/bookmark.h"
#include "core/containers.h"

// Icons of the status image strip; image 3, "being checked", is no longer shown:
// results arrive in batches.
enum StatusIcon { ICON_NOTHING_KNOWN = 0, ICON_BROKEN = 1, ICON_CHANGED = 2, ICON_SUSPECT = 4 };

StatusIcon status_icon(const Bookmark* record);

// The list's sort callback: the sort type is a ListColumn; titles and URLs
// compare without regard to case, the others by column_number_key. Any other
// sort type is an internal fault.
int CALLBACK lv_compare(LPARAM first, LPARAM second, LPARAM sort_type);

// Adds a row whose text and icon are asked for when painted; marks the record
// listed. Rows added this way appear once show_rows tells the list their count.
void insert_bookmark_row(HWND list, Bookmark* record);
// Tells the list how many rows it has now and repaints it.
void show_rows(HWND list);
// The sort keys and the orders of all records that sorting keeps between
// refills: made with the list window, freed with it (app_state->list_orders).
struct ListOrders;
ListOrders* create_list_orders();
void free_list_orders(ListOrders* orders);
// URL sort keys cost a third of a second per 100,000 records: after start-up
// they are made on a worker thread from copies of the URLs (made on the main
// thread at IDT_URL_SORT_KEYS, which fires once the list is painted) and handed
// back by WM_URL_SORT_KEYS, whose LPARAM take_url_sort_keys takes; a click on
// URL before then makes the keys itself.
const UINT WM_URL_SORT_KEYS = WM_USER + 3;
void make_url_sort_keys_soon(HWND window);
void start_url_sort_keys(HWND window);
// Keys for the records whose URL is still the one copied; the URL order as
// well when the collection is unchanged since the copies.
void take_url_sort_keys(LPARAM job);
// Sorts the rows by app_state->sort_column, from the least up or, with
// sort_descending, from the greatest down (blank cells last either way); rows
// of equal cells keep their order.
void sort_list(HWND list);
// Keeps the rows in step when the list deletes one row (LVN_DELETEITEM) or all.
void forget_row(int row);
void forget_all_rows();
Bookmark* row_record(HWND list, int row);
// Repaints the record's row, if it has one: the list asks for its icon and
// texts again.
void redraw_record_row(const Bookmark* record);
// The selected and the focused rows' records, kept while the rows change: the
// control keeps its selection by row number, which after a sort or a refill
// would mark other bookmarks.
struct KeptSelection {
    PtrVector* selected;  // Bookmark*
    Bookmark* focused;
};
KeptSelection remember_selection(HWND list);
// Selects the kept records' rows and focuses the focused one's (kept in
// view), wherever they are now; frees what was kept.
void restore_selection(HWND list, KeptSelection* kept);
// Selects and focuses the row, kept in view.
void focus_row(HWND list, int row);

// The records of all selected rows in list order; the caller destroys the vector.
PtrVector* selected_records(HWND list);
// The record of the first selected row, or null.
Bookmark* first_selected_record(HWND list);
