// Reading bookmarks out of a copy of Firefox's places database with SQLite.
#include "collection/firefox_places.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <utility>
#include <vector>

#include "core/unique_handle.h"
#include "core/whole_file.h"

namespace {

namespace fs = std::filesystem;

const char kSqliteMagic[] = "SQLite format 3";  // with its zero, the file's first 16 bytes
const int kCopyAttempts = 2;

const int TYPE_BOOKMARK = 1;
const int TYPE_FOLDER = 2;

// A temporary folder, removed with what is in it when the guard ends.
struct TempFolder {
    fs::path path;
    TempFolder() = default;
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
};

bool make_temp_folder(TempFolder* folder) {
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error) return false;
    std::random_device random;
    for (int attempt = 0; attempt < 100; attempt++) {
        const fs::path candidate = base / ("lk-places-" + std::to_string(random()));
        if (fs::create_directory(candidate, error)) {
            folder->path = candidate;
            return true;
        }
    }
    return false;
}

// Copies one file's bytes into the folder under a name; false when the
// source cannot be read or the copy not written.
bool copy_into(const char* source, const fs::path& target) {
    char* bytes;
    uint32_t size;
    if (!read_whole_file(source, &bytes, &size)) return false;
    std::ofstream out(target, std::ios::binary);
    out.write(bytes, size);
    free(bytes);
    out.close();
    return !out.fail();
}

// The database and its log, copied: the log holds what the browser has not
// yet written into the database, bookmarks added in this session among them.
// A missing or empty log is no failure; the copy replays a log it has.
bool copy_database(const char* path, const fs::path& folder) {
    std::error_code ignored;
    for (const char* stale : {"places.sqlite-wal", "places.sqlite-shm"}) fs::remove(folder / stale, ignored);
    if (!copy_into(path, folder / "places.sqlite")) return false;
    copy_into((std::string(path) + "-wal").c_str(), folder / "places.sqlite-wal");
    return true;
}

using Database = UniqueHandle<ZeroInvalidPolicy<sqlite3*, sqlite3_close>>;
using Statement = UniqueHandle<ZeroInvalidPolicy<sqlite3_stmt*, sqlite3_finalize>>;

// The statement, or none when the SQL does not compile against the database.
Statement prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    return Statement(stmt);
}

std::string text_column(sqlite3_stmt* stmt, int column) {
    const unsigned char* text = sqlite3_column_text(stmt, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<size_t>(sqlite3_column_bytes(stmt, column)))
                : std::string();
}

// Opens the copy for writing, so that SQLite replays its log, with the
// settings SQLite advises for files from elsewhere, and checks it.
bool open_checked(const fs::path& file, Database* database) {
    sqlite3* db = nullptr;
    // A connection is handed back even when the open fails, and must be closed.
    const int opened = sqlite3_open_v2(file.u8string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    database->reset(db);
    if (opened != SQLITE_OK) return false;
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_exec(db, "PRAGMA cell_size_check=ON", nullptr, nullptr, nullptr);
    Statement check = prepare(db, "PRAGMA quick_check");
    return check.get() && sqlite3_step(check.get()) == SQLITE_ROW && text_column(check.get(), 0) == "ok";
}

// Whether the bookmark tables are tables: views could run anything.
bool has_bookmark_tables(sqlite3* db) {
    Statement tables = prepare(db,
                               "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                               "name IN ('moz_bookmarks', 'moz_places', 'moz_keywords')");
    return tables.get() && sqlite3_step(tables.get()) == SQLITE_ROW && sqlite3_column_int(tables.get(), 0) == 3;
}

struct Row {
    int64_t id;
    int type;
    int64_t parent;
    int64_t place;
    std::string title;
    int64_t added;
    std::string guid;
    std::string url;
    int64_t last_visit;
    int64_t position;
};

bool read_rows(sqlite3* db, std::vector<Row>* rows) {
    Statement query =
        prepare(db,
                "SELECT b.id, b.type, b.parent, b.fk, b.title, b.dateAdded, b.guid, p.url, p.last_visit_date, "
                "b.position FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk ORDER BY b.id");
    if (!query.get()) return false;
    int step;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW) {
        sqlite3_stmt* s = query.get();
        rows->push_back(Row{sqlite3_column_int64(s, 0), sqlite3_column_int(s, 1), sqlite3_column_int64(s, 2),
                            sqlite3_column_int64(s, 3), text_column(s, 4), sqlite3_column_int64(s, 5),
                            text_column(s, 6), text_column(s, 7), sqlite3_column_int64(s, 8),
                            sqlite3_column_int64(s, 9)});
    }
    return step == SQLITE_DONE;
}

// The words a place is known by, tags and keywords: both belong to the
// place, not to a bookmark. Sorted by place once all are in.
using PlaceWords = std::vector<std::pair<int64_t, std::string>>;

bool read_keywords(sqlite3* db, PlaceWords* words) {
    Statement query = prepare(db, "SELECT place_id, keyword FROM moz_keywords ORDER BY id");
    if (!query.get()) return false;
    int step;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW) {
        words->emplace_back(sqlite3_column_int64(query.get(), 0), text_column(query.get(), 1));
    }
    return step == SQLITE_DONE;
}

// The bookmark tree out of the rows (in ascending id, the table's own order,
// which is cheaper to read than any index's): each row's children lie
// together in `order`, in the browser's order, from first[row] to
// first[row + 1]. The tags root holds a folder per tag, each holding an entry
// per tagged place: those become their places' keywords, not bookmarks.
struct Tree {
    const std::vector<Row>& rows;
    std::vector<size_t> first;
    std::vector<size_t> order;

    explicit Tree(const std::vector<Row>& all) : rows(all), first(all.size() + 2), order(all.size()) {
        // A counting sort by parent; a row without a parent row counts as
        // the child of a row past the end, which no walk visits.
        std::vector<size_t> parent(rows.size());
        for (size_t i = 0; i < rows.size(); i++) {
            parent[i] = row_of(rows[i].parent);
            first[parent[i] + 1]++;
        }
        for (size_t i = 1; i < first.size(); i++) first[i] += first[i - 1];
        std::vector<size_t> next(first.begin(), first.end() - 1);
        for (size_t i = 0; i < rows.size(); i++) order[next[parent[i]]++] = i;
        for (size_t i = 0; i < rows.size(); i++) {
            std::stable_sort(order.begin() + static_cast<ptrdiff_t>(first[i]),
                             order.begin() + static_cast<ptrdiff_t>(first[i + 1]),
                             [&](size_t a, size_t b) { return rows[a].position < rows[b].position; });
        }
    }

    // The row of an id; rows.size() for none.
    size_t row_of(int64_t id) const {
        auto at = std::lower_bound(rows.begin(), rows.end(), id, [](const Row& r, int64_t key) { return r.id < key; });
        return at != rows.end() && at->id == id ? static_cast<size_t>(at - rows.begin()) : rows.size();
    }

    const size_t* children_begin(size_t row) const { return order.data() + first[row]; }
    const size_t* children_end(size_t row) const { return order.data() + first[row + 1]; }

    // The child of a row with the GUID; rows.size() for none.
    size_t child_with_guid(size_t row, const char* guid) const {
        for (const size_t* c = children_begin(row); c != children_end(row); ++c) {
            if (rows[*c].guid == guid) return *c;
        }
        return rows.size();
    }
};

void collect_tags(const Tree& tree, size_t tags_root, PlaceWords* words) {
    for (const size_t* tag = tree.children_begin(tags_root); tag != tree.children_end(tags_root); ++tag) {
        for (const size_t* entry = tree.children_begin(*tag); entry != tree.children_end(*tag); ++entry) {
            const Row& row = tree.rows[*entry];
            if (row.type == TYPE_BOOKMARK) words->emplace_back(row.place, tree.rows[*tag].title);
        }
    }
}

void walk_bookmarks(const Tree& tree, size_t root, size_t tags_root, const PlaceWords& words, StoreRead* read) {
    const std::vector<Row>& rows = tree.rows;
    std::vector<bool> seen(rows.size());
    std::vector<std::pair<size_t, size_t>> stack;  // row, its depth below its root
    std::vector<std::string> path;
    seen[root] = seen[tags_root] = true;
    // Pushed in reverse, so that the first child is taken first.
    const auto push_children = [&](size_t row, size_t depth) {
        for (const size_t* c = tree.children_end(row); c != tree.children_begin(row);) stack.emplace_back(*--c, depth);
    };
    for (const size_t* r = tree.children_end(root); r != tree.children_begin(root);) {
        if (seen[*--r]) continue;
        seen[*r] = true;
        push_children(*r, 0);
    }
    while (!stack.empty()) {
        const size_t i = stack.back().first;
        const size_t depth = stack.back().second;
        stack.pop_back();
        if (seen[i]) continue;
        seen[i] = true;
        const Row& row = rows[i];
        path.resize(depth < STORE_FOLDER_DEPTH ? depth : STORE_FOLDER_DEPTH);
        if (row.type == TYPE_FOLDER) {
            if (path.size() < STORE_FOLDER_DEPTH) path.push_back(row.title);
            push_children(i, depth + 1);
            continue;
        }
        if (row.type != TYPE_BOOKMARK || row.url.compare(0, 6, "place:") == 0) continue;
        StoreBookmark b;
        b.url = row.url;
        b.title = row.title;
        b.folders = path;
        b.added = date_of_unix_microseconds(row.added);
        b.last_visit = date_of_unix_microseconds(row.last_visit);
        auto word =
            std::lower_bound(words.begin(), words.end(), row.place,
                             [](const std::pair<int64_t, std::string>& w, int64_t place) { return w.first < place; });
        for (; word != words.end() && word->first == row.place; ++word) b.keywords.push_back(word->second);
        read->bookmarks.push_back(std::move(b));
    }
}

std::string read_database(sqlite3* db, StoreRead* read) {
    if (!has_bookmark_tables(db)) return "not a Firefox bookmarks database";
    std::vector<Row> rows;
    PlaceWords keywords;
    if (!read_rows(db, &rows) || !read_keywords(db, &keywords)) {
        return std::string("the database cannot be read (") + sqlite3_errmsg(db) + ")";
    }
    // Ids are the table's row ids, in order; a database that says otherwise is sorted.
    const auto by_id = [](const Row& a, const Row& b) { return a.id < b.id; };
    if (!std::is_sorted(rows.begin(), rows.end(), by_id)) std::stable_sort(rows.begin(), rows.end(), by_id);
    const Tree tree(rows);
    size_t root = rows.size();
    for (size_t i = 0; i < rows.size(); i++) {
        if (rows[i].guid == "root________") root = i;
    }
    if (root == rows.size()) return "not a Firefox bookmarks database (no root)";
    size_t tags_root = tree.child_with_guid(root, "tags________");
    if (tags_root == rows.size()) tags_root = root;
    // Tags first, then keywords, for each place.
    PlaceWords words;
    if (tags_root != root) collect_tags(tree, tags_root, &words);
    words.insert(words.end(), keywords.begin(), keywords.end());
    std::stable_sort(words.begin(), words.end(),
                     [](const std::pair<int64_t, std::string>& a, const std::pair<int64_t, std::string>& b) {
                         return a.first < b.first;
                     });
    walk_bookmarks(tree, root, tags_root, words, read);
    return std::string();
}

}  // namespace

bool is_sqlite_database_text(const char* text, size_t length) {
    return length >= sizeof kSqliteMagic && memcmp(text, kSqliteMagic, sizeof kSqliteMagic) == 0;
}

StoreRead read_firefox_places(const char* path) {
    StoreRead read;
    TempFolder folder;
    if (!make_temp_folder(&folder)) {
        read.failure = "no temporary folder for a copy of the database";
        return read;
    }
    Database database;
    for (int attempt = 0; attempt < kCopyAttempts && !database; attempt++) {
        if (!copy_database(path, folder.path)) {
            read.failure = "the database cannot be copied";
            return read;
        }
        Database copy;
        if (open_checked(folder.path / "places.sqlite", &copy)) database = std::move(copy);
    }
    if (!database) {
        read.failure = "the copy of the database fails its check";
        return read;
    }
    read.failure = read_database(database.get(), &read);
    if (!read.failure.empty()) read.bookmarks.clear();
    return read;
}
