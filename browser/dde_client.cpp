// The DDE conversations with the browser and the window calls around them.
#include "browser/dde_client.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "browser/shell_url.h"
#include "browser/window_info.h"
#include "core/containers.h"
#include "platform/handles.h"
#include "platform/message_box.h"

DWORD dde_instance = 0;

namespace {

const DWORD kRequestTimeout = 1000;  // milliseconds
const int kConnectRetries = 4;
const DWORD kRetryPause = 250;  // milliseconds
const DWORD kMaxReply = 4096;
const uint32_t kActivateByRequest = 0x10000;  // Netscape versions above this answer "WWW_Activate"
const char kCurrentWindow[] = "0xFFFFFFFF";
const char kIExploreFrameClass[] = "Internet Explorer_Frame";
const char kIExploreNoDocument[] = "Microsoft Internet Explorer - [No Document]";
const int kMaxTitle = 255;

// A string handle of the process's DDE instance.
UniqueDdeString dde_string(const char* text) {
    return UniqueDdeString(DdeCreateStringHandleA(dde_instance, text, CP_WINANSI), DdeStringPolicy{dde_instance});
}

bool connect(UniqueConversation* conversation, HSZ service, HSZ topic) {
    conversation->reset(DdeConnect(dde_instance, service, topic, nullptr));
    return static_cast<bool>(*conversation);
}

// A text request; the reply's data, if any.
UniqueDdeData request(const UniqueConversation& conversation, HSZ item) {
    return UniqueDdeData(
        DdeClientTransaction(nullptr, 0, conversation.get(), item, CF_TEXT, XTYP_REQUEST, kRequestTimeout, nullptr));
}

HDDEDATA CALLBACK dde_callback(UINT type, UINT /*format*/, HCONV /*conversation*/, HSZ /*hsz1*/, HSZ /*hsz2*/,
                               HDDEDATA /*data*/, ULONG_PTR /*data1*/, ULONG_PTR /*data2*/) {
    return type == XTYP_ADVDATA ? reinterpret_cast<HDDEDATA>(DDE_FACK) : nullptr;
}

void show_info(const char* text) { app_message_box(nullptr, text, MB_ICONINFORMATION); }

// The version number a Netscape Navigator reports; 0 when it does not answer.
uint32_t browser_version(const BrowserProfile* profile) {
    UniqueDdeString topic = dde_string(profile->version_topic);
    UniqueConversation conversation;
    if (!topic || !connect(&conversation, profile->service_handle, topic.get())) return 0;
    uint32_t version = 0;
    UniqueDdeData data = request(conversation, topic.get());
    if (data) DdeGetData(data.get(), reinterpret_cast<BYTE*>(&version), sizeof version, 0);
    return version;
}

void request_activation(const BrowserProfile* profile) {
    UniqueDdeString topic = dde_string("WWW_Activate");
    UniqueDdeString item = dde_string("0xFFFFFFFF,0x0");
    UniqueConversation conversation;
    if (!topic || !item || !connect(&conversation, profile->service_handle, topic.get())) return;
    request(conversation, item.get());
}

void raise_window(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

struct TitleSearch {
    const char* title;
    int length;  // characters compared, at most kMaxTitle
    HWND found;
};

BOOL CALLBACK match_window_title(HWND window, LPARAM context) {
    TitleSearch* search = reinterpret_cast<TitleSearch*>(context);
    char title[kMaxTitle + 1];
    GetWindowTextA(window, title, search->length + 1);
    if (strncmp(title, search->title, static_cast<size_t>(search->length)) == 0 && title[search->length] == '\0') {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The first top-level window whose title begins with the given text.
HWND find_window_by_title(const char* title) {
    size_t length = strlen(title);
    TitleSearch search = {title, length < kMaxTitle ? static_cast<int>(length) : kMaxTitle, nullptr};
    EnumWindows(match_window_title, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool iexplore_shows_no_document() {
    HWND frame = FindWindowA(kIExploreFrameClass, nullptr);
    if (!frame) return false;
    char title[kMaxTitle + 1] = "";
    GetWindowTextA(frame, title, sizeof title);
    return strcmp(title, kIExploreNoDocument) == 0;
}

bool request_current_page(const BrowserProfile* profile, char** url, char** title) {
    *url = nullptr;
    *title = nullptr;
    if (profile->browser_id == BROWSER_IEXPLORE && iexplore_shows_no_document()) return false;
    UniqueDdeString topic = dde_string(profile->get_url_topic);
    UniqueDdeString item = dde_string(kCurrentWindow);
    UniqueConversation conversation;
    if (!topic || !item || !connect(&conversation, profile->service_handle, topic.get())) return false;
    UniqueDdeData data = request(conversation, item.get());
    conversation.reset();
    if (!data) return false;
    // The reply is the browser's: cut to size and terminated whatever it holds.
    char reply[kMaxReply + 1];
    DWORD length = DdeGetData(data.get(), reinterpret_cast<BYTE*>(reply), kMaxReply, 0);
    reply[length <= kMaxReply ? length : kMaxReply] = '\0';
    return parse_window_info(reply, profile->browser_id, url, title);
}

// Netscape Navigator up to version 0x10000 has no "WWW_Activate": its window
// is found by the caption it shows for the current page.
void raise_netscape_by_title(const BrowserProfile* profile) {
    char* url;
    char* title;
    if (!request_current_page(profile, &url, &title)) return;
    if (title) {
        TextBuffer caption = tb_empty();
        tb_assign(&caption, "Netscape - [");
        tb_append_str(&caption, title);
        tb_append_str(&caption, "]");
        HWND window = find_window_by_title(tb_text(caption));
        if (window) raise_window(window);
        tb_free(&caption);
    }
    free(url);
    free(title);
}

// Hands a web address to the shell's URL handler; anything else is refused,
// since the shell would run a program or open a file named by it.
bool open_with_shell(const char* url) {
    if (!is_web_address(url)) {
        report_failure(
            "Unable to open this address: only http, https and ftp addresses are handed to the system's browser", url);
        return false;
    }
    ShellExecuteA(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}

}  // namespace

bool start_dde(BrowserLink* link) {
    memset(link, 0, sizeof *link);
    DWORD instance = 0;
    if (DdeInitializeA(&instance, dde_callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        dde_instance = 0;
        app_message_box("Ravozorizi Error", "Error initializing DDE Library", MB_ICONEXCLAMATION);
        return false;
    }
    dde_instance = instance;
    return true;
}

void end_dde(BrowserLink* link) {
    for (BrowserProfile& profile : link->profiles) {
        close_handle(&profile.service_handle, DdeStringPolicy{dde_instance});
    }
    close_handle<DdeInstancePolicy>(&dde_instance);
}

bool launch_browser(BrowserLink* link, bool bare) {
    HCURSOR previous_cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const BrowserProfile* profile = active_profile(link);
    bool running = false;
    UniqueDdeString topic = dde_string(profile->version_topic);
    if (topic) {
        UniqueConversation conversation;
        running = connect(&conversation, profile->service_handle, topic.get());
        if (!running) {
            char command[MAX_PATH + BROWSER_TEXT_SIZE + 2];
            snprintf(command, sizeof command, bare ? "%s" : "%s %s", profile->exe_path, profile->launch_args);
            running = WinExec(command, SW_SHOWNORMAL) > 31;
        }
    }
    if (!running) report_failure("Unable to launch browser", profile->exe_path);
    SetCursor(previous_cursor);
    return running;
}

bool open_url(BrowserLink* link, const char* url) {
    const BrowserProfile* profile = active_profile(link);
    if (link->use_url_dll && link->selected_browser == BROWSER_AUTOMATIC) {
        return open_with_shell(url);
    }
    UniqueDdeString topic = dde_string(profile->open_url_topic);
    if (!topic) return false;
    UniqueConversation conversation;
    if (!connect(&conversation, profile->service_handle, topic.get())) {
        if (!launch_browser(link, false)) return false;
        for (int attempt = 0; attempt < kConnectRetries; attempt++) {
            if (connect(&conversation, profile->service_handle, topic.get())) break;
            Sleep(kRetryPause);
        }
        if (!conversation) {
            show_info("Unable to launch and initiate conversation with browser");
            return false;
        }
    }
    TextBuffer command = tb_empty();
    tb_assign(&command, profile->open_url_exec);
    tb_replace_all(&command, "%s", url);
    DWORD transaction = 0;
    DdeClientTransaction(reinterpret_cast<BYTE*>(command->text), tb_length(command) + 1, conversation.get(), nullptr,
                         CF_TEXT, XTYP_EXECUTE, TIMEOUT_ASYNC, &transaction);
    tb_free(&command);
    conversation.reset();
    activate_browser(profile);
    return true;
}

void activate_browser(const BrowserProfile* profile) {
    if (profile->browser_id == BROWSER_IEXPLORE) {
        HWND frame = FindWindowA(kIExploreFrameClass, nullptr);
        if (frame) {
            raise_window(frame);
        } else {
            request_activation(profile);
        }
    } else if (browser_version(profile) > kActivateByRequest) {
        request_activation(profile);
    } else {
        raise_netscape_by_title(profile);
    }
}

bool get_current_page(BrowserLink* link, char** url, char** title) {
    return request_current_page(active_profile(link), url, title);
}
