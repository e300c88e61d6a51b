// Rows of the bookmark list.
#include "app/list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/list_columns.h"
#include "app/resource.h"
#include "app/window_worker.h"
#include "collection/check_state.h"
#include "platform/message_box.h"

StatusIcon status_icon(const Bookmark* record) {
    switch (shown_state(record)) {
        case SHOWN_BROKEN:
            return ICON_BROKEN;
        case SHOWN_SUSPECT:
            return ICON_SUSPECT;
        case SHOWN_CHANGED:
            return ICON_CHANGED;
        default:
            return ICON_NOTHING_KNOWN;
    }
}

int CALLBACK lv_compare(LPARAM first, LPARAM second, LPARAM sort_type) {
    const Bookmark* a = reinterpret_cast<const Bookmark*>(first);
    const Bookmark* b = reinterpret_cast<const Bookmark*>(second);
    if (!a || !b) return 0;
    switch (sort_type) {
        case COLUMN_TITLE:
            return lstrcmpiA(a->title, b->title);
        case COLUMN_URL:
            return lstrcmpiA(a->url, b->url);
        case COLUMN_STATUS:
        case COLUMN_ADDED:
        case COLUMN_LAST_VISIT: {
            const uint64_t key_a = column_number_key(a, static_cast<int>(sort_type));
            const uint64_t key_b = column_number_key(b, static_cast<int>(sort_type));
            return key_a < key_b ? -1 : (key_a > key_b ? 1 : 0);
        }
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

// Every record in the order of one sort column, made when a refill first
// needs it and kept while the collection's records and texts stay as they are.
struct ColumnOrder {
    std::vector<void*> records;
    std::vector<bool> tied;  // the record at each place has the key of the one before
    uint64_t edits;          // the collection's edit count when the order was made
    bool made;
};

}  // namespace

// What the list keeps between refills, per sort column, so that typing in the
// filter re-sorts without making keys or orders again.
struct ListOrders {
    std::unordered_map<const Bookmark*, CachedKey> sort_keys[2];  // by COLUMN_TITLE and COLUMN_URL
    ColumnOrder column_orders[2];
};

ListOrders* create_list_orders() { return new ListOrders(); }

void free_list_orders(ListOrders* orders) { delete orders; }

namespace {

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

const std::string* sort_key(std::unordered_map<const Bookmark*, CachedKey>* cache, const Bookmark* record, int column) {
    const char* text = column == COLUMN_TITLE ? record->title : record->url;
    CachedKey& cached = (*cache)[record];
    if (cached.text != text || cached.key.empty()) {
        cached.text = text;
        if (!make_sort_key(text, &cached.key)) return nullptr;
    }
    return &cached.key;
}

// Turns rows sorted from the least to the greatest around, each run of equal
// ones kept in its order: a stable sort from the greatest down.
template <typename Item, typename Same>
void reverse_keeping_ties(Item* items, size_t count, Same same) {
    std::reverse(items, items + count);
    for (size_t start = 0; start < count;) {
        size_t end = start + 1;
        while (end < count && same(items[start], items[end])) end++;
        std::reverse(items + start, items + end);
        start = end;
    }
}

// For each place, whether its item is the same as the one before.
template <typename Item, typename Same>
std::vector<bool> ties_of(const Item* items, size_t count, Same same) {
    std::vector<bool> tied(count, false);
    for (size_t i = 1; i < count; i++) tied[i] = same(items[i - 1], items[i]);
    return tied;
}

typedef std::pair<const std::string*, void*> KeyedRow;

// Sorting by keys: comparing the texts themselves costs a locale-aware
// comparison for each of the n log n steps, which is slow on the tens of
// thousands of rows a broad filter shows. `tied`, when given, receives for
// each place whether its key is the one before's.
bool sort_by_keys(ListOrders* orders, PtrVector* rows, int column, bool descending, std::vector<bool>* tied = nullptr) {
    std::unordered_map<const Bookmark*, CachedKey>& cache = orders->sort_keys[column];
    // Records come and go: start afresh rather than keep keys of the departed.
    if (cache.size() > 2 * static_cast<size_t>(app_state->collection.records->count) + 1024) cache.clear();
    std::vector<KeyedRow> keyed(rows->count);
    for (uint32_t i = 0; i < rows->count; i++) {
        const std::string* key = sort_key(&cache, static_cast<const Bookmark*>(rows->items[i]), column);
        if (!key) return false;
        keyed[i] = {key, rows->items[i]};
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const KeyedRow& a, const KeyedRow& b) { return *a.first < *b.first; });
    auto same = [](const KeyedRow& a, const KeyedRow& b) { return *a.first == *b.first; };
    if (descending) reverse_keeping_ties(keyed.data(), keyed.size(), same);
    if (tied) *tied = ties_of(keyed.data(), keyed.size(), same);
    for (uint32_t i = 0; i < rows->count; i++) rows->items[i] = keyed[i].second;
    return true;
}

const ColumnOrder* column_order(ListOrders* orders, int column) {
    ColumnOrder& order = orders->column_orders[column];
    const Collection& collection = app_state->collection;
    if (order.made && order.edits == collection.edits) return &order;
    order.made = false;
    const PtrVector* records = collection.records;
    order.records.assign(records->items, records->items + records->count);
    // Sorted in place, through a vector header over the copy.
    PtrVector all = {order.records.data(), records->count, records->count};
    if (!sort_by_keys(orders, &all, column, false, &order.tied)) return nullptr;
    order.edits = collection.edits;
    order.made = true;
    return &order;
}

// The rows as a set of their record pointers, open addressing at most half
// full: membership is asked without reading the records themselves.
class RowSet {
public:
    explicit RowSet(const PtrVector* rows) {
        size_t capacity = 16;
        while (capacity < 2 * static_cast<size_t>(rows->count)) capacity *= 2;
        slots_.assign(capacity, nullptr);
        for (uint32_t i = 0; i < rows->count; i++) {
            const void** slot = find(rows->items[i]);
            distinct_ = distinct_ && *slot == nullptr;
            *slot = rows->items[i];
        }
    }
    bool contains(const void* record) { return *find(record) == record; }
    // No record was a row twice.
    bool distinct() const { return distinct_; }

private:
    const void** find(const void* record) {
        const size_t mask = slots_.size() - 1;
        // Records are heap blocks: the low bits say little, the multiplication spreads the rest.
        size_t i = static_cast<size_t>((reinterpret_cast<uintptr_t>(record) >> 4) * 0x9E3779B97F4A7C15ull) & mask;
        while (slots_[i] && slots_[i] != record) i = (i + 1) & mask;
        return &slots_[i];
    }
    std::vector<const void*> slots_;
    bool distinct_ = true;
};

// Below this many rows, sorting the rows costs less than walking every record.
const uint32_t kRowsWorthAnOrder = 1024;

// Puts many rows in order by picking them out of the column's order of all
// records: linear in the collection, where sorting tens of thousands of rows
// took most of a keystroke. Descending, the order's runs of equal keys are
// taken from the last, each in its own order. False, with the rows
// untouched, when they are not all distinct records of the collection.
bool pick_rows_in_order(ListOrders* orders, PtrVector* rows, int column, bool descending) {
    const ColumnOrder* order = column_order(orders, column);
    if (!order) return false;
    RowSet wanted(rows);
    if (!wanted.distinct()) return false;
    std::vector<void*> picked;
    picked.reserve(rows->count);
    const std::vector<void*>& all = order->records;
    for (size_t end = all.size(); end > 0;) {
        size_t start = descending ? end - 1 : 0;
        while (start > 0 && order->tied[start]) start--;
        for (size_t i = start; i < end; i++) {
            if (wanted.contains(all[i])) picked.push_back(all[i]);
        }
        end = start;
    }
    if (picked.size() != rows->count) return false;
    std::copy(picked.begin(), picked.end(), rows->items);
    return true;
}

// Status, Added and Last Visit: numbers made once per row, then sorted.
void sort_by_numbers(PtrVector* rows, int column, bool descending) {
    std::vector<std::pair<uint64_t, void*>> keyed(rows->count);
    for (uint32_t i = 0; i < rows->count; i++) {
        keyed[i] = {column_number_key(static_cast<const Bookmark*>(rows->items[i]), column), rows->items[i]};
    }
    typedef std::pair<uint64_t, void*> Keyed;
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return a.first < b.first; });
    if (descending) {
        // Blank cells stay last either way.
        size_t filled = 0;
        while (filled < keyed.size() && keyed[filled].first != KEY_BLANK) filled++;
        reverse_keeping_ties(keyed.data(), filled, [](const Keyed& a, const Keyed& b) { return a.first == b.first; });
    }
    for (uint32_t i = 0; i < rows->count; i++) rows->items[i] = keyed[i].second;
}

// Title and URL, from the sort keys kept between refills.
void sort_by_text(ListOrders* orders, PtrVector* rows, int column, bool descending) {
    if (rows->count >= kRowsWorthAnOrder ? pick_rows_in_order(orders, rows, column, descending)
                                         : sort_by_keys(orders, rows, column, descending)) {
        return;
    }
    std::stable_sort(rows->items, rows->items + rows->count, [column](void* a, void* b) {
        return lv_compare(reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b), column) < 0;
    });
    if (descending) {
        reverse_keeping_ties(rows->items, rows->count, [column](void* a, void* b) {
            return lv_compare(reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b), column) == 0;
        });
    }
}

// The worker's copies and what it made of them.
struct UrlSortKeys {
    HWND window;
    uint64_t edits;              // the collection's edit count at the copies
    std::vector<void*> records;  // never read; stand for the order only while `edits` holds
    std::vector<std::string> urls;
    // All keys end to end, the i-th from key_starts[i] to key_starts[i + 1] (empty if it failed):
    // one block, not a hundred thousand, so that the two threads seldom meet in the heap.
    std::string keys;
    std::vector<size_t> key_starts;
    std::vector<uint32_t> order;  // places by key, equal keys in collection order; empty if a key failed
    std::vector<bool> tied;
    std::unordered_map<std::string_view, size_t> by_url;  // the place of each URL's copy

    std::string_view key(size_t i) const { return {keys.data() + key_starts[i], key_starts[i + 1] - key_starts[i]}; }
};

// The worker thread's part: its own copies only.
void make_url_sort_keys(UrlSortKeys* job) {
    const size_t count = job->urls.size();
    job->key_starts.assign(1, 0);
    bool all = true;
    std::string key;
    for (size_t i = 0; i < count; i++) {
        if (make_sort_key(job->urls[i].c_str(), &key)) {
            job->keys += key;
        } else {
            all = false;
        }
        job->key_starts.push_back(job->keys.size());
    }
    for (size_t i = 0; i < count; i++) job->by_url.emplace(job->urls[i], i);
    if (all) {
        job->order.resize(count);
        std::iota(job->order.begin(), job->order.end(), 0u);
        std::stable_sort(job->order.begin(), job->order.end(),
                         [job](uint32_t a, uint32_t b) { return job->key(a) < job->key(b); });
        job->tied =
            ties_of(job->order.data(), count, [job](uint32_t a, uint32_t b) { return job->key(a) == job->key(b); });
    }
}

}  // namespace

void make_url_sort_keys_soon(HWND window) { SetTimer(window, IDT_URL_SORT_KEYS, USER_TIMER_MINIMUM, nullptr); }

void start_url_sort_keys(HWND window) {
    if (app_state->filter_dirty) return;  // the list is filled and painted first
    KillTimer(window, IDT_URL_SORT_KEYS);
    const PtrVector* records = app_state->collection.records;
    std::unique_ptr<UrlSortKeys> job(new UrlSortKeys());
    job->window = window;
    job->edits = app_state->collection.edits;
    job->records.assign(records->items, records->items + records->count);
    for (uint32_t i = 0; i < records->count; i++) job->urls.push_back(static_cast<Bookmark*>(records->items[i])->url);
    // Without a thread, a click makes them.
    start_window_worker<UrlSortKeys, make_url_sort_keys, WM_URL_SORT_KEYS>(std::move(job));
}

void take_url_sort_keys(LPARAM param) {
    std::unique_ptr<UrlSortKeys> job(reinterpret_cast<UrlSortKeys*>(param));
    ListOrders* orders = app_state->list_orders;
    if (!orders) return;
    const Collection& collection = app_state->collection;
    // Used only while the collection's edit count is still the copies' own.
    if (!job->order.empty()) {
        ColumnOrder& order = orders->column_orders[COLUMN_URL];
        order.records.clear();
        for (uint32_t place : job->order) order.records.push_back(job->records[place]);
        order.tied = std::move(job->tied);
        order.edits = job->edits;
        order.made = true;
    }
    // The records as they are now, each matched by its URL: none of the copied
    // pointers is followed, as the record behind one may be gone.
    std::unordered_map<const Bookmark*, CachedKey>& cache = orders->sort_keys[COLUMN_URL];
    const PtrVector* records = collection.records;
    cache.reserve(records->count);
    for (uint32_t i = 0; i < records->count; i++) {
        const Bookmark* record = static_cast<const Bookmark*>(records->items[i]);
        auto copy = job->by_url.find(record->url);
        if (copy == job->by_url.end() || job->key(copy->second).empty()) continue;
        CachedKey& cached = cache[record];
        if (cached.text == record->url && !cached.key.empty()) continue;  // a click made it meanwhile
        cached.text = record->url;
        cached.key = job->key(copy->second);
    }
}

void sort_list(HWND list) {
    const int column = app_state->sort_column;
    const bool descending = app_state->sort_descending != 0;
    if (column == COLUMN_TITLE || column == COLUMN_URL) {
        sort_by_text(app_state->list_orders, app_state->shown_records, column, descending);
    } else {
        sort_by_numbers(app_state->shown_records, column, descending);
    }
    InvalidateRect(list, nullptr, TRUE);
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

void redraw_record_row(const Bookmark* record) {
    if (!(record->flags & BOOKMARK_LISTED)) return;
    int row = vec_index_of(app_state->shown_records, record);
    if (row < 0) return;
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    if (SendMessageA(app_state->list_view, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&bounds))) {
        InvalidateRect(app_state->list_view, &bounds, FALSE);
    }
}

KeptSelection remember_selection(HWND list) {
    int focused = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    return KeptSelection{selected_records(list), row_record(list, focused)};
}

void restore_selection(HWND list, KeptSelection* kept) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    const PtrVector* rows = app_state->shown_records;
    if (kept->selected->count > 0) {
        RowSet wanted(kept->selected);
        std::vector<int> found;
        for (uint32_t row = 0; row < rows->count; row++) {
            if (wanted.contains(rows->items[row])) found.push_back(static_cast<int>(row));
        }
        // Every row at once when all are wanted (a select-all kept through a refill).
        if (found.size() == rows->count) {
            ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
        } else {
            for (int row : found) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    int focused = kept->focused ? vec_index_of(rows, kept->focused) : -1;
    if (focused >= 0) {
        ListView_SetItemState(list, focused, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_SetSelectionMark(list, focused);
        ListView_EnsureVisible(list, focused, FALSE);
    }
    vec_destroy(kept->selected);
    kept->selected = nullptr;
}

void focus_row(HWND list, int row) {
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(list, row);
    ListView_EnsureVisible(list, row, FALSE);
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
