// Steps of snapshots and taking them back.
#include "collection/undo_history.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "collection/collection.h"
#include "search/keyword_index.h"

namespace {

struct FreeText {
    void operator()(char* text) const { free(text); }
};
using OwnedText = std::unique_ptr<char, FreeText>;

OwnedText copy_text(const char* text) { return OwnedText(text ? str_dup(text) : nullptr); }

size_t text_bytes(const OwnedText& text) { return text ? strlen(text.get()) + 1 : 0; }

// A record as it was: its scalar fields in `fields` (whose pointers are
// unused), its texts owned here. A null keyword text: the record had no set.
struct Snapshot {
    Bookmark fields;
    OwnedText url, title, moved_to, archive, folder, keywords;

    explicit Snapshot(const Bookmark* record)
        : fields(*record),
          url(copy_text(record->url)),
          title(copy_text(record->title)),
          moved_to(copy_text(record->moved_to)),
          archive(copy_text(record->archive)),
          folder(copy_text(record->folder)),
          keywords(record->keywords ? keyword_set_text(record->keywords) : nullptr) {
        fields.url = fields.title = fields.moved_to = fields.archive = fields.folder = nullptr;
        fields.keywords = nullptr;
    }
    size_t bytes() const {
        return sizeof(Snapshot) + text_bytes(url) + text_bytes(title) + text_bytes(moved_to) + text_bytes(archive) +
               text_bytes(folder) + text_bytes(keywords);
    }
};

struct Step {
    std::string name;
    std::vector<Snapshot> records;
    std::unordered_set<uint64_t> noted;  // serials of `records`
    size_t bytes = 0;
};

void replace_text(char** field, const OwnedText& text) {
    free(*field);
    *field = text ? str_dup(text.get()) : nullptr;
}

Bookmark* find_by_serial(const Collection* collection, uint64_t serial) {
    Bookmark key = {};
    key.serial = serial;
    uint32_t position;
    if (!vec_search(collection->records, &key, compare_record_identity, &position)) return nullptr;
    return static_cast<Bookmark*>(collection->records->items[position]);
}

// The snapshot's fields and texts into the record; its listing flags stay.
void put_back_fields(Bookmark* record, const Snapshot& snapshot) {
    const uint32_t flags = record->flags;
    char *url = record->url, *title = record->title, *moved_to = record->moved_to, *archive = record->archive,
         *folder = record->folder;
    KeywordSet* keywords = record->keywords;
    *record = snapshot.fields;
    record->flags = flags;
    record->url = url;
    record->title = title;
    record->moved_to = moved_to;
    record->archive = archive;
    record->folder = folder;
    record->keywords = keywords;
    replace_text(&record->url, snapshot.url);
    replace_text(&record->title, snapshot.title);
    replace_text(&record->moved_to, snapshot.moved_to);
    replace_text(&record->archive, snapshot.archive);
    replace_text(&record->folder, snapshot.folder);
}

void put_back_keywords(Collection* collection, Bookmark* record, const Snapshot& snapshot) {
    if (snapshot.keywords) {
        set_bookmark_keywords(collection, record, snapshot.keywords.get());
    } else if (record->keywords) {
        set_bookmark_keywords(collection, record, nullptr);
        free_keyword_set(record->keywords);
        record->keywords = nullptr;
    }
}

}  // namespace

struct UndoHistory {
    std::deque<Step> steps;  // oldest first
    Step open;
    bool is_open = false;
    uint32_t steps_kept;
    size_t bytes_kept;
    size_t bytes = 0;  // of `steps`
};

UndoHistory* create_undo_history(uint32_t steps_kept, size_t bytes_kept) {
    UndoHistory* history = new UndoHistory();
    history->steps_kept = steps_kept;
    history->bytes_kept = bytes_kept;
    return history;
}

void free_undo_history(UndoHistory* history) { delete history; }

void begin_undo_step(UndoHistory* history) {
    history->open = Step();
    history->is_open = true;
}

void note_undo_record(UndoHistory* history, const Bookmark* record) {
    if (!history->is_open || !history->open.noted.insert(record->serial).second) return;
    history->open.records.emplace_back(record);
    history->open.bytes += history->open.records.back().bytes();
}

void end_undo_step(UndoHistory* history, const char* name) {
    if (!history->is_open) return;
    history->is_open = false;
    if (history->open.records.empty()) return;
    history->open.name = name;
    history->bytes += history->open.bytes;
    history->steps.push_back(std::move(history->open));
    history->open = Step();
    while (history->steps.size() > history->steps_kept ||
           (history->steps.size() > 1 && history->bytes > history->bytes_kept)) {
        history->bytes -= history->steps.front().bytes;
        history->steps.pop_front();
    }
}

void cancel_undo_step(UndoHistory* history) {
    history->open = Step();
    history->is_open = false;
}

const char* last_undo_name(const UndoHistory* history) {
    return history->steps.empty() ? nullptr : history->steps.back().name.c_str();
}

size_t undo_bytes(const UndoHistory* history) { return history->bytes; }

UndoOutcome undo_last_step(UndoHistory* history, Collection* collection, PtrVector* restored, char* name,
                           size_t name_size) {
    if (history->steps.empty()) return UNDO_NONE;
    Step step = std::move(history->steps.back());
    history->steps.pop_back();
    history->bytes -= step.bytes;
    if (name && name_size > 0) {
        strncpy(name, step.name.c_str(), name_size - 1);
        name[name_size - 1] = '\0';
    }
    // An address the step gives back that a bookmark outside it holds now
    // (added since) would make two bookmarks of one URL. The later steps are
    // gone, and the earlier ones build on this one: the history goes.
    for (const Snapshot& snapshot : step.records) {
        const Bookmark* holder = find_by_url(collection, snapshot.url.get());
        if (holder && !step.noted.count(holder->serial)) {
            history->steps.clear();
            history->bytes = 0;
            return UNDO_CONFLICT;
        }
    }
    // Those still stored first, then those deleted since: a deleted one's
    // address may be held until then by a stored one that gives it back.
    std::vector<Bookmark*> moved, put_back;
    std::vector<const Snapshot*> gone;
    for (const Snapshot& snapshot : step.records) {
        Bookmark* record = find_by_serial(collection, snapshot.fields.serial);
        if (!record) {
            gone.push_back(&snapshot);
            continue;
        }
        const bool url_changed = strcmp(record->url, snapshot.url.get()) != 0;
        const bool title_changed = strcmp(record->title, snapshot.title.get()) != 0;
        put_back_fields(record, snapshot);
        if (url_changed) {
            reposition_by_url(collection, record);
            moved.push_back(record);
        } else if (title_changed) {
            note_title_edit(collection);
        }
        put_back_keywords(collection, record, snapshot);
        put_back.push_back(record);
    }
    // Two of them may have traded addresses: one placed while the other still
    // held its address is placed again.
    for (Bookmark* record : moved) {
        if (find_by_url(collection, record->url) != record) reposition_by_url(collection, record);
    }
    // All at once: a delete of thousands is taken back in one merge. Their
    // words go in in identity order, at the ends of most words' lists.
    std::sort(gone.begin(), gone.end(),
              [](const Snapshot* a, const Snapshot* b) { return a->fields.serial < b->fields.serial; });
    PtrVector* made = vec_create();
    for (const Snapshot* snapshot : gone) {
        Bookmark* record = static_cast<Bookmark*>(calloc(1, sizeof(Bookmark)));
        put_back_fields(record, *snapshot);
        record->flags = 0;
        vec_append(made, record);
        put_back.push_back(record);
    }
    insert_records(collection, made);
    vec_destroy(made);
    for (size_t i = 0; i < gone.size(); i++)
        put_back_keywords(collection, put_back[put_back.size() - gone.size() + i], *gone[i]);
    if (restored) {
        std::sort(put_back.begin(), put_back.end(),
                  [](const Bookmark* a, const Bookmark* b) { return compare_record_identity(a, b) < 0; });
        for (Bookmark* record : put_back) vec_append(restored, record);
    }
    return UNDO_DONE;
}
