// Finding the bookmark stores of the browsers installed for a user: every
// profile of the Chromium family (Chrome and its Beta, Dev and Canary, Edge,
// Brave, Vivaldi, Chromium under the local application data folder; Opera and
// Opera GX under the roaming one) and of Firefox (roaming). The folders are
// arguments: the program passes the user's, tests and lktool others.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collection/store_bookmarks.h"

enum StoreKind : uint8_t {
    STORE_CHROMIUM,  // a `Bookmarks` or `AccountBookmarks` file
    STORE_FIREFOX,   // a `places.sqlite` database
};

struct BrowserStore {
    std::string browser;  // "Chrome", "Edge", "Firefox", ...
    std::string profile;  // the profile's name as the browser shows it
    std::string file;     // the store's path
    StoreKind kind;
    std::string problem;  // why it cannot be read, when that is known without reading it
};

// Every store found under the two folders (either may be empty: not
// searched), browsers in a fixed order. Chromium profiles are those
// `Local State` names (with their names there) and `Default`; each gives its
// `Bookmarks` and its `AccountBookmarks` where present, and a store with a
// problem where the browser keeps them only encrypted. Firefox profiles come
// from `profiles.ini`, the default profile of each install (`installs.ini`)
// first; profiles without a database are left out.
std::vector<BrowserStore> find_browser_stores(const std::string& local_app_data, const std::string& roaming_app_data);

// The stores of a folder the user names (a portable browser, a profile moved
// elsewhere): a Chromium `User Data` folder (with `Local State`), a Firefox
// folder (with `profiles.ini`), or one profile's folder holding a `Bookmarks`
// file or a `places.sqlite`. Such stores are of the browser "Chromium" or
// "Firefox"; a profile folder's own name is its profile's.
std::vector<BrowserStore> find_stores_in_folder(const std::string& folder);

// Reads one store found; a known problem is its failure.
StoreRead read_browser_store(const BrowserStore& store);
