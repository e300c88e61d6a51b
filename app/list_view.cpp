// Rows of the bookmark list.
#include "app/list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/messages.h"

StatusIcon status_icon(const Bookmark* record) {
    switch (record->last_modified) {
        case DATE_UNSET:
            return ICON_NOTHING_KNOWN;
        case DATE_BROKEN:
            return ICON_BROKEN;
        case DATE_CHECKING:
            return ICON_CHECKING;
        default:
            break;
    }
    bool visited_since = record->last_visit != DATE_UNSET && record->last_visit >= record->last_modified;
    return visited_since ? ICON_NOTHING_KNOWN : ICON_CHANGED;
}

int CALLBACK lv_compare(LPARAM first, LPARAM second, LPARAM sort_type) {
    const Bookmark* a = reinterpret_cast<const Bookmark*>(first);
    const Bookmark* b = reinterpret_cast<const Bookmark*>(second);
    if (!a || !b) return 0;
    switch (sort_type) {
        case 0:
            return lstrcmpiA(a->title, b->title);
        case 1:
            return lstrcmpiA(a->url, b->url);
        default:
            application_error("unknown sort type");
            return 0;
    }
}

void insert_bookmark_row(HWND /*list*/, Bookmark* record) {
    vec_append(app_state->shown_records, record);
    record->flags |= BOOKMARK_LISTED;
}

void show_rows(HWND list) {
    SendMessageA(list, LVM_SETITEMCOUNT, app_state->shown_records->count, LVSICF_NOINVALIDATEALL);
    InvalidateRect(list, nullptr, TRUE);
}

namespace {

// A row's sort key with the text it was made from: the key stays good for as
// long as the record shows that same text.
struct CachedKey {
    std::string text;
    std::string key;
};

// Keys by record, one table per sort column. Kept across refills, so that
// typing in the filter re-sorts without making keys again.
std::unordered_map<const Bookmark*, CachedKey> sort_keys[2];

// The text's sort key, which orders byte by byte as lstrcmpi orders the texts.
bool make_sort_key(const char* text, std::string* key) {
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    char buffer[512];
    int length = LCMapStringA(LOCALE_USER_DEFAULT, flags, text, -1, buffer, sizeof buffer);
    if (length > 0) {
        key->assign(buffer, static_cast<size_t>(length));
        return true;
    }
    length = LCMapStringA(LOCALE_USER_DEFAULT, flags, text, -1, nullptr, 0);
    if (length <= 0) return false;
    key->resize(static_cast<size_t>(length));
    return LCMapStringA(LOCALE_USER_DEFAULT, flags, text, -1, &(*key)[0], length) > 0;
}

const std::string* sort_key(const Bookmark* record, int column) {
    const char* text = column == 0 ? record->title : record->url;
    CachedKey& cached = sort_keys[column][record];
    if (cached.text != text || cached.key.empty()) {
        cached.text = text;
        if (!make_sort_key(text, &cached.key)) return nullptr;
    }
    return &cached.key;
}

// Sorting by keys: comparing the texts themselves costs a locale-aware
// comparison for each of the n log n steps, which is slow on the tens of
// thousands of rows a broad filter shows.
bool sort_by_keys(PtrVector* rows, int column) {
    std::unordered_map<const Bookmark*, CachedKey>& cache = sort_keys[column];
    // Records come and go: start afresh rather than keep keys of the departed.
    if (cache.size() > 2 * static_cast<size_t>(app_state->collection.records->count) + 1024) cache.clear();
    std::vector<std::pair<const std::string*, void*>> keyed(rows->count);
    for (uint32_t i = 0; i < rows->count; i++) {
        const std::string* key = sort_key(static_cast<const Bookmark*>(rows->items[i]), column);
        if (!key) return false;
        keyed[i] = {key, rows->items[i]};
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const std::pair<const std::string*, void*>& a, const std::pair<const std::string*, void*>& b) {
                         return *a.first < *b.first;
                     });
    for (uint32_t i = 0; i < rows->count; i++) rows->items[i] = keyed[i].second;
    return true;
}

// Every record in the order of one sort column, made when a refill first
// needs it and kept while the collection's records and texts stay as they are.
struct ColumnOrder {
    std::vector<void*> records;
    uint64_t edits;  // the collection's edit count when the order was made
    bool made;
};

ColumnOrder column_orders[2];

const std::vector<void*>* column_order(int column) {
    ColumnOrder& order = column_orders[column];
    const Collection& collection = app_state->collection;
    if (order.made && order.edits == collection.edits) return &order.records;
    order.made = false;
    const PtrVector* records = collection.records;
    order.records.assign(records->items, records->items + records->count);
    // Sorted in place, through a vector header over the copy.
    PtrVector all = {order.records.data(), records->count, records->count};
    if (!sort_by_keys(&all, column)) return nullptr;
    order.edits = collection.edits;
    order.made = true;
    return &order.records;
}

// Below this many rows, sorting the rows costs less than walking every record.
const uint32_t kRowsWorthAnOrder = 1024;

// Puts many rows in order by picking them out of the column's order of all
// records: linear in the collection, where sorting tens of thousands of rows
// took most of a keystroke. False, with the rows untouched, when they are
// not all distinct records of the collection.
bool pick_rows_in_order(PtrVector* rows, int column) {
    const std::vector<void*>* order = column_order(column);
    if (!order) return false;
    for (uint32_t i = 0; i < rows->count; i++) static_cast<Bookmark*>(rows->items[i])->flags |= BOOKMARK_PICKED;
    std::vector<void*> picked;
    picked.reserve(rows->count);
    for (void* item : *order) {
        Bookmark* record = static_cast<Bookmark*>(item);
        if (!(record->flags & BOOKMARK_PICKED)) continue;
        record->flags &= ~BOOKMARK_PICKED;
        picked.push_back(record);
    }
    if (picked.size() != rows->count) {
        for (uint32_t i = 0; i < rows->count; i++) static_cast<Bookmark*>(rows->items[i])->flags &= ~BOOKMARK_PICKED;
        return false;
    }
    std::copy(picked.begin(), picked.end(), rows->items);
    return true;
}

}  // namespace

void sort_list(HWND list) {
    PtrVector* rows = app_state->shown_records;
    LPARAM sort_type = app_state->sort_column;
    bool sorted = false;
    if (sort_type == 0 || sort_type == 1) {
        const int column = static_cast<int>(sort_type);
        sorted = rows->count >= kRowsWorthAnOrder ? pick_rows_in_order(rows, column) : sort_by_keys(rows, column);
    }
    if (!sorted) {
        std::stable_sort(rows->items, rows->items + rows->count, [sort_type](void* a, void* b) {
            return lv_compare(reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b), sort_type) < 0;
        });
    }
    InvalidateRect(list, nullptr, TRUE);
}

void forget_row_orders() {
    for (ColumnOrder& order : column_orders) {
        order.records = std::vector<void*>();
        order.made = false;
    }
}

void forget_row(int row) {
    if (row >= 0 && static_cast<uint32_t>(row) < app_state->shown_records->count) {
        vec_remove_at(app_state->shown_records, static_cast<uint32_t>(row));
    }
}

void forget_all_rows() { app_state->shown_records->count = 0; }

Bookmark* row_record(HWND /*list*/, int row) {
    const PtrVector* rows = app_state->shown_records;
    if (row < 0 || static_cast<uint32_t>(row) >= rows->count) return nullptr;
    return static_cast<Bookmark*>(rows->items[row]);
}

void redraw_item_icon(const Bookmark* record) {
    if (!(record->flags & BOOKMARK_LISTED)) return;
    int row = vec_index_of(app_state->shown_records, record);
    if (row < 0) return;
    RECT icon = {};
    icon.left = LVIR_ICON;
    if (SendMessageA(app_state->list_view, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&icon))) {
        InvalidateRect(app_state->list_view, &icon, FALSE);
    }
}

PtrVector* selected_records(HWND list) {
    PtrVector* records = vec_create();
    int row = -1;
    while ((row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) !=
           -1) {
        vec_append(records, row_record(list, row));
    }
    return records;
}

Bookmark* first_selected_record(HWND list) {
    int row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return row == -1 ? nullptr : row_record(list, row);
}
