// The sink every bookmark reader hands its bookmarks to.
#include "collection/bookmark_source.h"

#include "collection/collection.h"
#include "collection/folder_path.h"

namespace {

// The description, then the tags, then the folder names from the innermost
// out; null when there are none.
const char* keyword_text(BookmarkSink* sink, const SourceBookmark& bookmark) {
    // The program's own files have neither tags nor folders: no copy then.
    if (bookmark.tags[0] == '\0' && bookmark.folder_count == 0) {
        return bookmark.description[0] != '\0' ? bookmark.description : nullptr;
    }
    TextBuffer* text = &sink->keyword_text;
    tb_assign(text, bookmark.description);
    if (bookmark.tags[0] != '\0') {
        tb_append_char(text, ' ');
        tb_append_str(text, bookmark.tags);
    }
    for (uint32_t i = bookmark.folder_count; i > 0; i--) {
        tb_append_char(text, ' ');
        tb_append(text, tb_text(bookmark.folders[i - 1]), tb_length(bookmark.folders[i - 1]));
    }
    return tb_text(*text);
}

// The path it came from; null when it came from no folder.
const char* folder_path(BookmarkSink* sink, const SourceBookmark& bookmark) {
    if (bookmark.folder_path || bookmark.folder_count == 0) return bookmark.folder_path;
    tb_clear(&sink->folder_path);
    append_folder_path(&sink->folder_path, bookmark.folders, bookmark.folder_count);
    return tb_text(sink->folder_path);
}

}  // namespace

BookmarkSink open_bookmark_sink(Collection* collection, bool automatic, ImportReport* report) {
    begin_add_batch(collection);
    return BookmarkSink{collection, automatic, report, tb_empty(), tb_empty()};
}

void close_bookmark_sink(BookmarkSink* sink) {
    end_add_batch(sink->collection);
    tb_free(&sink->keyword_text);
    tb_free(&sink->folder_path);
}

AddOutcome take_bookmark(BookmarkSink* sink, const SourceBookmark& bookmark) {
    const AddOutcome outcome = add_or_merge(
        sink->collection, str_dup(bookmark.title), str_dup(bookmark.url), keyword_text(sink, bookmark), bookmark.added,
        bookmark.last_visit, bookmark.last_modified, sink->automatic, bookmark.check, folder_path(sink, bookmark));
    if (sink->report && outcome == ADD_ADDED) sink->report->added++;
    if (sink->report && outcome == ADD_MERGED) sink->report->merged++;
    return outcome;
}
