// Bringing in the bookmarks of one browser's store found on the computer, as
// the first start, the Import from Browser command and the rescans of
// browsers do: each store through a sink of its own, its own line in the report.
#pragma once

#include <string>

struct BrowserStore;
struct Collection;
struct ImportReport;
struct StoreRead;

// "Chrome (Work)": the browser's name and the profile's in parentheses.
std::string store_display_name(const BrowserStore& store);

// Reads the store whole, adds its bookmarks to the collection (their words
// become their keywords; a stored URL is merged), and adds what it did to the
// report with the store's line. A store that cannot be read adds nothing: its
// line gives the reason, and the result is false.
bool import_browser_store(Collection* collection, const BrowserStore& store, ImportReport* report);
// The same for a store read already, under its display name.
bool import_store_read(Collection* collection, const std::string& name, const StoreRead& read, ImportReport* report);
