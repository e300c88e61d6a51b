// Everything the program asks of the web browser, as a DDE client of the
// browser's own server: start it, open a URL in it, bring it to the front and
// ask for the page it shows. Each operation opens one short conversation and
// closes it before returning. Main thread only.
#pragma once

#include "browser/browser_link.h"

// Zero-fills the link and starts the DDE client; on failure says so in a box.
bool start_dde(BrowserLink* link);
// Frees the profiles' service-name handles and ends the DDE client.
void end_dde(BrowserLink* link);

// Makes sure the active browser runs, starting it when it does not: with its
// executable path alone when bare, else followed by its launch arguments.
bool launch_browser(BrowserLink* link, bool bare);
// Shows url in the active browser (starting it if needed) and raises the browser.
bool open_url(BrowserLink* link, const char* url);
// Brings the browser of profile to the front; failures are ignored.
void activate_browser(const BrowserProfile* profile);
// The URL and title of the page the active browser shows: owned texts, freed by
// the caller with free(); the title may be null. Both null on false.
bool get_current_page(BrowserLink* link, char** url, char** title);
