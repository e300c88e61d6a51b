// The list's columns, their cells and the header's menu.
#include "app/list_columns.h"

#include <algorithm>
#include <cstring>

#include "app/app_state.h"
#include "app/dpi.h"
#include "app/local_dates.h"
#include "app/resource.h"
#include "collection/check_state.h"

namespace {

const char* const kNames[LIST_COLUMN_COUNT] = {"Title", "URL", "Status", "Added", "Last Visit"};
const int kDefaultWidths[LIST_COLUMN_COUNT] = {200, 300, 150, 90, 90};
const int kDefaultShown[] = {COLUMN_TITLE, COLUMN_URL, COLUMN_STATUS};

bool is_shown(const Options* options, int column) {
    for (uint32_t i = 0; i < options->shown_column_count; i++) {
        if (options->shown_columns[i] == column) return true;
    }
    return false;
}

int column_named(const std::string& name) {
    for (int column = 0; column < LIST_COLUMN_COUNT; column++) {
        if (lstrcmpiA(name.c_str(), kNames[column]) == 0) return column;
    }
    return -1;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void show_column(Options* options, int column) {
    if (!is_shown(options, column)) options->shown_columns[options->shown_column_count++] = static_cast<int8_t>(column);
}

uint64_t date_key(uint32_t date) { return is_real_date(date) ? date : KEY_BLANK; }

void copy_cell(LVITEMA* item, const std::string& text) {
    if (item->pszText && item->cchTextMax > 0) lstrcpynA(item->pszText, text.c_str(), item->cchTextMax);
}

}  // namespace

const char* list_column_name(int column) { return kNames[column]; }

int default_column_width(int column) { return kDefaultWidths[column]; }

void read_shown_columns(const char* text, Options* options) {
    options->shown_column_count = 0;
    std::string rest = text ? text : "";
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        const int column = column_named(trimmed(rest.substr(0, comma)));
        rest = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
        if (column >= 0) show_column(options, column);
    }
    if (options->shown_column_count == 0) {
        for (int column : kDefaultShown) show_column(options, column);
    } else if (!is_shown(options, COLUMN_TITLE)) {
        std::copy_backward(options->shown_columns, options->shown_columns + options->shown_column_count,
                           options->shown_columns + options->shown_column_count + 1);
        options->shown_columns[0] = COLUMN_TITLE;
        options->shown_column_count++;
    }
}

std::string shown_columns_text(const Options* options) {
    std::string text;
    for (uint32_t i = 0; i < options->shown_column_count; i++) {
        text += (i ? "," : "") + std::string(kNames[options->shown_columns[i]]);
    }
    return text;
}

bool insert_list_columns(HWND list) {
    const Options& options = app_state->options;
    // Title is the list's first column, which holds the icon and is never
    // removed; the others follow it, and the display order is set apart.
    int8_t* at = app_state->list_column_at;
    int count = 0;
    at[count++] = COLUMN_TITLE;
    for (uint32_t i = 0; i < options.shown_column_count; i++) {
        if (options.shown_columns[i] != COLUMN_TITLE) at[count++] = options.shown_columns[i];
    }
    while (SendMessageA(list, LVM_DELETECOLUMN, 1, 0)) {
    }
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const bool has_title = SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) > 0;
    app_state->list_column_count = has_title ? 1 : 0;
    int order[LIST_COLUMN_COUNT];
    for (int index = 0; index < count; index++) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        // Widths are kept as at 96 dpi.
        column.cx = scaled(options.column_width[at[index]], app_state->frame_dpi ? app_state->frame_dpi : NORMAL_DPI);
        column.pszText = const_cast<char*>(kNames[at[index]]);
        column.iSubItem = index;
        if (index == 0 && has_title) {
            SendMessageA(list, LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        } else if (SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                                reinterpret_cast<LPARAM>(&column)) != index) {
            return false;
        }
        app_state->list_column_count = index + 1;
        for (uint32_t shown = 0; shown < options.shown_column_count; shown++) {
            if (options.shown_columns[shown] == at[index]) order[shown] = index;
        }
    }
    SendMessageA(list, LVM_SETCOLUMNORDERARRAY, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(order));
    show_sort_mark(list);
    return true;
}

void take_list_columns(Options* options) {
    HWND list = app_state->list_view;
    const int count = app_state->list_column_count;
    if (count <= 0) return;
    int order[LIST_COLUMN_COUNT];
    if (!SendMessageA(list, LVM_GETCOLUMNORDERARRAY, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(order))) {
        return;
    }
    options->shown_column_count = 0;
    for (int i = 0; i < count; i++) {
        const int column = column_of_index(order[i]);
        const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(order[i]), 0));
        options->column_width[column] = unscaled(width, app_state->frame_dpi);
        show_column(options, column);
    }
}

int column_of_index(int index) {
    return index >= 0 && index < app_state->list_column_count ? app_state->list_column_at[index] : int{COLUMN_TITLE};
}

void show_header_menu(POINT screen) {
    HMENU menu = CreatePopupMenu();
    for (int column = 0; column < LIST_COLUMN_COUNT; column++) {
        const UINT checked = is_shown(&app_state->options, column) ? MF_CHECKED : MF_UNCHECKED;
        AppendMenuA(menu, MF_STRING | checked, static_cast<UINT_PTR>(IDM_SHOW_COLUMN + column), kNames[column]);
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, app_state->main_window, nullptr);
    DestroyMenu(menu);
}

void toggle_list_column(int column) {
    if (column <= COLUMN_TITLE || column >= LIST_COLUMN_COUNT) return;
    Options* options = &app_state->options;
    // The widths and order the user gave the columns so far stay.
    take_list_columns(options);
    if (is_shown(options, column)) {
        uint32_t kept = 0;
        for (uint32_t i = 0; i < options->shown_column_count; i++) {
            if (options->shown_columns[i] != column) options->shown_columns[kept++] = options->shown_columns[i];
        }
        options->shown_column_count = kept;
    } else {
        show_column(options, column);
    }
    insert_list_columns(app_state->list_view);
    InvalidateRect(app_state->list_view, nullptr, TRUE);
}

void show_sort_mark(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    for (int index = 0; index < app_state->list_column_count; index++) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        if (!SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (app_state->list_column_at[index] == app_state->sort_column) {
            item.fmt |= app_state->sort_descending ? HDF_SORTDOWN : HDF_SORTUP;
        }
        SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
}

void give_cell_text(const Bookmark* record, LVITEMA* item) {
    switch (column_of_index(item->iSubItem)) {
        case COLUMN_TITLE:
            item->pszText = record->title;
            break;
        case COLUMN_URL:
            item->pszText = record->url;
            break;
        case COLUMN_STATUS:
            copy_cell(item, status_text(record, short_date));
            break;
        case COLUMN_ADDED:
            copy_cell(item, short_date(record->added));
            break;
        default:
            copy_cell(item, short_date(record->last_visit));
            break;
    }
}

uint64_t column_number_key(const Bookmark* record, int column) {
    switch (column) {
        case COLUMN_STATUS: {
            const RecordStatus status = record_status(record);
            if (status.kind == STATUS_NOT_CHECKED) return KEY_BLANK;
            return (static_cast<uint64_t>(status.kind) << 32) | (is_real_date(status.date) ? status.date : 0);
        }
        case COLUMN_ADDED:
            return date_key(record->added);
        default:
            return date_key(record->last_visit);
    }
}
