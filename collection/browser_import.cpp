// One browser store into the collection, counted apart from the others.
#include "collection/browser_import.h"

#include "collection/bookmark_source.h"
#include "collection/browser_profiles.h"
#include "collection/import_report.h"
#include "collection/store_bookmarks.h"

std::string store_display_name(const BrowserStore& store) { return store.browser + " (" + store.profile + ")"; }

bool import_store_read(Collection* collection, const std::string& name, const StoreRead& read, ImportReport* report) {
    if (!read.failure.empty()) {
        note_unread_source(report, name.c_str(), read.failure.c_str());
        return false;
    }
    ImportReport part = create_import_report();
    BookmarkSink sink = open_bookmark_sink(collection, true, &part);
    add_store_bookmarks(&sink, read);
    close_bookmark_sink(&sink);
    add_source_report(report, name.c_str(), part);
    free_import_report(&part);
    return true;
}

bool import_browser_store(Collection* collection, const BrowserStore& store, ImportReport* report) {
    return import_store_read(collection, store_display_name(store), read_browser_store(store), report);
}
