// What the program knows about the two browsers it can drive: how to start
// each one, the DDE service and topics it answers under, and which one is in
// use. Loaded from and saved to the "Browsers" section of the settings file.
#pragma once

#include <windows.h>

#include <ddeml.h>

#include <cstdint>

#include "browser/browser_id.h"

const int BROWSER_TEXT_SIZE = 32;  // service name, topics, arguments, template

struct BrowserProfile {
    uint32_t browser_id;
    HSZ service_handle;  // of service_name, in dde_instance; freed by end_dde
    char exe_path[MAX_PATH];
    char launch_args[BROWSER_TEXT_SIZE];
    char service_name[BROWSER_TEXT_SIZE];
    char open_url_topic[BROWSER_TEXT_SIZE];
    char open_url_exec[BROWSER_TEXT_SIZE];  // every "%s" becomes the URL
    char get_url_topic[BROWSER_TEXT_SIZE];
    char version_topic[BROWSER_TEXT_SIZE];  // also tells whether the browser runs
};

struct BrowserLink {
    BrowserProfile profiles[2];  // BROWSER_NETSCAPE, BROWSER_IEXPLORE
    uint32_t selected_browser;   // BROWSER_NETSCAPE, BROWSER_IEXPLORE or BROWSER_AUTOMATIC
    uint32_t use_url_dll;        // shell opens URLs; only under automatic selection
};

// The process's DDE client instance, set by start_dde.
extern DWORD dde_instance;

// Fills both profiles and the selection from the settings file, creating the
// service-name handles in dde_instance.
void load_browser_profiles(BrowserLink* link);
// Writes the "Browsers" section; false at the first write that fails.
bool save_browser_profiles(const BrowserLink* link);
// The browser the registry names as handler of web addresses: BROWSER_NETSCAPE,
// BROWSER_IEXPLORE or BROWSER_UNKNOWN.
uint32_t detect_default_browser();
// The profile to use now; automatic selection asks the registry each time.
const BrowserProfile* active_profile(const BrowserLink* link);
// The registered full path of an executable (App Paths); path is left alone when none.
bool find_app_path(const char* exe_name, char path[MAX_PATH]);
