// The DDE conversations, against the dde_peer program playing Netscape
// Navigator or Internet Explorer in a process of its own.
#include "browser/dde_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/browser/browser_test_support.h"
#include "tests/platform/message_box_watcher.h"

namespace {

const char kUrl[] = "http://a.example/page";
const char kHttpCommandKey[] = "SOFTWARE\\Classes\\http\\shell\\open\\command";

class DdeClient : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        delete_registry_key(HKEY_LOCAL_MACHINE, kHttpDdeExecKey);
        ASSERT_TRUE(start_dde(&link()));
        std::string peer = peer_exe_path();
        write_settings("[Browsers]\r\nSelected Browser=0\r\nNetscape - Exe Path=" + peer +
                       "\r\nIExplore - Exe Path=" + peer + "\r\n");
        load_browser_profiles(&link());
        log_path = folder + "\\peer.log";
        peer_config.log_path = log_path;
    }
    void TearDown() override {
        // A peer that a failed test left running.
        stop_peer(peer_config);
        end_dde(&link());
        SettingsTest::TearDown();
    }

    BrowserLink& link() { return link_; }
    BrowserLink link_ = {};
    BrowserProfile& profile(uint32_t browser) { return link().profiles[browser]; }

    void play_iexplore() {
        link().selected_browser = BROWSER_IEXPLORE;
        peer_config.service = "IExplore";
    }

    // The peer's log once it has ended: its first line, then the rest in any
    // order (a new conversation may overtake an asynchronous execute), "stop" last.
    void expect_log(const std::string& first, std::vector<std::string> rest) {
        ASSERT_TRUE(stop_peer(peer_config));
        std::vector<std::string> lines = log_lines(log_path);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.front(), first);
        EXPECT_EQ(lines.back(), "stop");
        std::vector<std::string> middle(lines.begin() + 1, lines.end() - 1);
        std::sort(middle.begin(), middle.end());
        std::sort(rest.begin(), rest.end());
        EXPECT_EQ(middle, rest);
    }

    static std::string execute_line(const std::string& text) {
        return "execute WWW_OpenURL " + std::to_string(text.size() + 1) + " " + text;
    }

    struct Page {
        bool ok;
        std::string url;
        std::string title;  // "<none>" for a null title
    };
    Page current_page() {
        char* url = nullptr;
        char* title = nullptr;
        Page page;
        page.ok = get_current_page(&link(), &url, &title);
        page.url = url ? url : "<none>";
        page.title = title ? title : "<none>";
        free(url);
        free(title);
        return page;
    }

    PeerConfig peer_config;
    std::string log_path;
};

}  // namespace

TEST_F(DdeClient, NetscapeNotRunningIsStartedWithItsArgumentsThenGivenTheUrl) {
    peer_config.version = "0x20000";
    set_peer_environment(peer_config);
    EXPECT_TRUE(open_url(&link(), kUrl));
    // Newer than 0x10000: raised by the "WWW_Activate" request.
    expect_log("start -h",
               {"connect WWW_OpenURL", execute_line(kUrl), "connect WWW_Version", "request WWW_Version WWW_Version",
                "connect WWW_Activate", "request WWW_Activate 0xFFFFFFFF,0x0"});
}

TEST_F(DdeClient, IExploreNotRunningIsStartedWithItsArgumentsThenGivenTheQuotedUrl) {
    play_iexplore();
    peer_config.window_class = "Internet Explorer_Frame";
    peer_config.title = "Start - Microsoft Internet Explorer";
    peer_config.show = "minimized";
    set_peer_environment(peer_config);
    EXPECT_TRUE(open_url(&link(), kUrl));
    HWND frame = find_peer_window(peer_config);
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(IsIconic(frame));  // restored by the activation
    expect_log("start -nohome", {"connect WWW_OpenURL", execute_line(std::string("\"") + kUrl + "\",,-1,,,,,")});
}

TEST_F(DdeClient, IExploreWithoutItsFrameWindowIsAskedToActivate) {
    play_iexplore();
    ASSERT_TRUE(start_peer(peer_config));
    EXPECT_TRUE(open_url(&link(), kUrl));
    expect_log("start", {"connect WWW_OpenURL", execute_line(std::string("\"") + kUrl + "\",,-1,,,,,"),
                         "connect WWW_Activate", "request WWW_Activate 0xFFFFFFFF,0x0"});
}

TEST_F(DdeClient, RunningBrowserIsNotStartedAgain) {
    peer_config.version = "0x20000";
    ASSERT_TRUE(start_peer(peer_config));
    EXPECT_TRUE(launch_browser(&link(), false));
    EXPECT_TRUE(launch_browser(&link(), true));
    expect_log("start", {"connect WWW_Version", "connect WWW_Version"});
}

TEST_F(DdeClient, StartUpLaunchUsesTheExecutableAlone) {
    set_peer_environment(peer_config);
    EXPECT_TRUE(launch_browser(&link(), true));
    expect_log("start", {});
}

TEST_F(DdeClient, EveryPlaceholderOfTheTemplateTakesTheUrl) {
    ASSERT_TRUE(start_peer(peer_config));
    lstrcpyA(profile(BROWSER_NETSCAPE).open_url_exec, "[%s|%s]");
    EXPECT_TRUE(open_url(&link(), "http://x/%s"));
    lstrcpyA(profile(BROWSER_NETSCAPE).open_url_exec, "home");
    EXPECT_TRUE(open_url(&link(), kUrl));
    // No version answer: the window is looked for by the current page's title,
    // which this peer does not give either.
    expect_log("start", {"connect WWW_OpenURL", execute_line("[http://x/%s|http://x/%s]"), "connect WWW_OpenURL",
                         execute_line("home"), "connect WWW_Version", "request WWW_Version WWW_Version",
                         "connect WWW_GetWindowInfo", "request WWW_GetWindowInfo 0xFFFFFFFF", "connect WWW_Version",
                         "request WWW_Version WWW_Version", "connect WWW_GetWindowInfo",
                         "request WWW_GetWindowInfo 0xFFFFFFFF"});
}

TEST_F(DdeClient, OldNetscapeIsFoundByItsWindowTitle) {
    peer_config.version = "0x10000";
    peer_config.window_info = "\"http://a.example/\",\"Netscape - [Old Page]\"";
    peer_config.title = "Netscape - [Old Page]";
    peer_config.show = "minimized";
    ASSERT_TRUE(start_peer(peer_config));
    EXPECT_TRUE(open_url(&link(), kUrl));
    HWND window = find_peer_window(peer_config);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsIconic(window));
    expect_log("start",
               {"connect WWW_OpenURL", execute_line(kUrl), "connect WWW_Version", "request WWW_Version WWW_Version",
                "connect WWW_GetWindowInfo", "request WWW_GetWindowInfo 0xFFFFFFFF"});
}

TEST_F(DdeClient, CurrentPageFromNetscapesReply) {
    peer_config.window_info = "\"http://a.example/x\",\"Netscape - [Page Title]\"";
    ASSERT_TRUE(start_peer(peer_config));
    Page page = current_page();
    EXPECT_TRUE(page.ok);
    EXPECT_EQ(page.url, "http://a.example/x");
    EXPECT_EQ(page.title, "Page Title");
    expect_log("start", {"connect WWW_GetWindowInfo", "request WWW_GetWindowInfo 0xFFFFFFFF"});
}

TEST_F(DdeClient, CurrentPageFromIExploresReply) {
    play_iexplore();
    peer_config.window_info = "\"http://a.example/x\",\"Page Title\"";
    ASSERT_TRUE(start_peer(peer_config));
    Page page = current_page();
    EXPECT_TRUE(page.ok);
    EXPECT_EQ(page.url, "http://a.example/x");
    EXPECT_EQ(page.title, "Page Title");
}

TEST_F(DdeClient, IExploreShowingNoDocumentHasNoCurrentPage) {
    play_iexplore();
    peer_config.window_info = "\"http://a.example/x\",\"Page Title\"";
    peer_config.window_class = "Internet Explorer_Frame";
    peer_config.title = "Microsoft Internet Explorer - [No Document]";
    ASSERT_TRUE(start_peer(peer_config));
    Page page = current_page();
    EXPECT_FALSE(page.ok);
    EXPECT_EQ(page.url, "<none>");
    expect_log("start", {});  // not even asked
}

TEST_F(DdeClient, CurrentPageNeedsAnAnswerInForm) {
    peer_config.window_info = "http://a.example/x";
    ASSERT_TRUE(start_peer(peer_config));
    EXPECT_FALSE(current_page().ok);
    ASSERT_TRUE(stop_peer(peer_config));

    peer_config.window_info = "";  // no data at all
    ASSERT_TRUE(start_peer(peer_config));
    Page page = current_page();
    EXPECT_FALSE(page.ok);
    EXPECT_EQ(page.title, "<none>");
    ASSERT_TRUE(stop_peer(peer_config));

    // Nobody to ask.
    EXPECT_FALSE(current_page().ok);
    EXPECT_TRUE(can_get_current_page(&link()));
}

TEST_F(DdeClient, LongRepliesAreCutTo4096Bytes) {
    std::string head = "\"http://a.example/\",\"Netscape - [";
    peer_config.window_info = head + std::string(6000, 't') + "]\"";
    ASSERT_TRUE(start_peer(peer_config));
    Page page = current_page();
    EXPECT_TRUE(page.ok);
    EXPECT_EQ(page.url, "http://a.example/");
    // The last two characters of what is left go, as if they were "]" and the quote.
    EXPECT_EQ(page.title, std::string(4096 - head.size() - 2, 't'));
}

TEST_F(DdeClient, BrowserThatCannotBeStartedIsReported) {
    lstrcpyA(profile(BROWSER_NETSCAPE).exe_path, "C:\\nowhere\\netscape.exe");
    MessageBoxWatcher boxes;
    EXPECT_FALSE(open_url(&link(), kUrl));
    EXPECT_FALSE(launch_browser(&link(), true));
    ASSERT_EQ(boxes.seen().size(), 2u);
    for (const SeenMessageBox& box : boxes.seen()) {
        EXPECT_EQ(box.caption, "Ravozorizi");
        EXPECT_EQ(box.text, "Unable to launch browser\n\nC:\\nowhere\\netscape.exe");
    }
}

TEST_F(DdeClient, BrowserThatNeverAnswersIsReported) {
    // The program starts but serves under another name.
    peer_config.service = "Elsewhere";
    set_peer_environment(peer_config);
    MessageBoxWatcher boxes;
    EXPECT_FALSE(open_url(&link(), kUrl));
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, "Ravozorizi");
    EXPECT_EQ(boxes.seen()[0].text, "Unable to launch and initiate conversation with browser");
    expect_log("start -h", {});
}

TEST_F(DdeClient, ShellIsGivenNothingButWebAddresses) {
    link().selected_browser = BROWSER_AUTOMATIC;
    link().use_url_dll = 1;
    set_peer_environment(peer_config);
    std::string peer = peer_exe_path();
    const std::string refused[] = {peer, "file:///" + peer, "\"" + peer + "\" -h", "javascript:alert(1)"};
    MessageBoxWatcher boxes;
    for (const std::string& url : refused) EXPECT_FALSE(open_url(&link(), url.c_str())) << url;
    ASSERT_EQ(boxes.seen().size(), 4u);
    for (size_t i = 0; i < 4; i++) {
        EXPECT_EQ(boxes.seen()[i].caption, "Ravozorizi");
        EXPECT_EQ(boxes.seen()[i].text,
                  "Unable to open this address: only http, https and ftp addresses are handed to "
                  "the system's browser\n\n" +
                      refused[i]);
    }
    EXPECT_FALSE(any_peer_running());
    EXPECT_EQ(file_text(log_path), "");
}

TEST_F(DdeClient, ShellOpensWebAddressesThroughItsHandler) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHttpCommandKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    char saved[512] = "";
    DWORD size = sizeof saved;
    RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(saved), &size);
    std::string handler = "\"" + peer_exe_path() + "\" \"%1\"";
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(handler.c_str()),
                   static_cast<DWORD>(handler.size() + 1));

    link().selected_browser = BROWSER_AUTOMATIC;
    link().use_url_dll = 1;
    set_peer_environment(peer_config);
    // The shell returns without waiting for the handler to set itself up.
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "LkDdePeerReady");
    SetEnvironmentVariableA("LK_PEER_READY_EVENT", "LkDdePeerReady");
    bool opened = open_url(&link(), kUrl);
    EXPECT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);
    SetEnvironmentVariableA("LK_PEER_READY_EVENT", nullptr);
    CloseHandle(ready);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<BYTE*>(saved), static_cast<DWORD>(strlen(saved) + 1));
    RegCloseKey(key);

    EXPECT_TRUE(opened);
    expect_log(std::string("start \"") + kUrl + "\"", {});
}

TEST_F(DdeClient, FixedSelectionKeepsDdeDespiteUrlDll) {
    link().use_url_dll = 1;
    ASSERT_TRUE(start_peer(peer_config));
    MessageBoxWatcher boxes;
    EXPECT_TRUE(open_url(&link(), "file:///C:/x.htm"));
    EXPECT_TRUE(boxes.seen().empty());
    // Left to the browser to decide what to do with it.
    expect_log("start", {"connect WWW_OpenURL", execute_line("file:///C:/x.htm"), "connect WWW_Version",
                         "request WWW_Version WWW_Version", "connect WWW_GetWindowInfo",
                         "request WWW_GetWindowInfo 0xFFFFFFFF"});
}
