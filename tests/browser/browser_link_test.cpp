// The browser link: profiles from the settings file and the registry, and the
// DDE conversations with the dde_peer program playing Netscape Navigator or
// Internet Explorer in a process of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "browser/browser_link.h"
#include "browser/dde_client.h"
#include "tests/browser/browser_test_support.h"
#include "tests/platform/dialog_driver.h"

namespace {

const char kUrl[] = "http://a.example/page";
// Where the registry names the DDE application that handles web addresses.
const char kHttpDdeExecKey[] = "SOFTWARE\\classes\\http\\shell\\open\\ddeexec";
const char kNetscapeAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe";

class BrowserLinkTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        delete_registry_key(HKEY_LOCAL_MACHINE, kHttpDdeExecKey);
        delete_registry_key(HKEY_LOCAL_MACHINE, kNetscapeAppPath);
        ASSERT_TRUE(start_dde(&link));
        peer_config.log_path = folder + "\\peer.log";
    }
    void TearDown() override {
        stop_peer(peer_config);  // one that a failed test left running
        end_dde(&link);
        delete_registry_key(HKEY_LOCAL_MACHINE, kHttpDdeExecKey);
        delete_registry_key(HKEY_LOCAL_MACHINE, kNetscapeAppPath);
        SettingsTest::TearDown();
    }
    void use_peer(uint32_t selected) {
        write_settings(peer_browser_settings(selected));
        load_browser_profiles(&link);
    }
    // The peer's log once it has ended: its first line, then the others in any
    // order (a new conversation may overtake an asynchronous execute), "stop" last.
    void expect_log(const std::string& expected) {
        ASSERT_TRUE(stop_peer(peer_config));
        std::vector<std::string> lines, wanted;
        std::istringstream log(file_text(peer_config.log_path)), expected_log(expected + "\nstop\n");
        for (std::string line; std::getline(log, line);) lines.push_back(line);
        for (std::string line; std::getline(expected_log, line);) wanted.push_back(line);
        DeleteFileA(peer_config.log_path.c_str());
        ASSERT_GE(lines.size(), 2u);
        std::sort(lines.begin() + 1, lines.end() - 1);
        std::sort(wanted.begin() + 1, wanted.end() - 1);
        EXPECT_EQ(lines, wanted);
    }

    BrowserLink link = {};
    PeerConfig peer_config;
};

std::string execute_line(const std::string& text) {
    return "execute WWW_OpenURL " + std::to_string(text.size() + 1) + " " + text;
}

}  // namespace

// The program's path comes from the file, else the registry's App Paths; an
// automatic choice asks the registry for the default browser on every use.
TEST_F(BrowserLinkTest, ProfilesComeFromTheFileAndTheRegistry) {
    set_registry_string(HKEY_LOCAL_MACHINE, kNetscapeAppPath, nullptr, "C:\\nav\\netscape.exe");
    write_settings("[Browsers]\r\nSelected Browser=3\r\nIExplore - Exe Path=" + std::string(300, 'p') + "\r\n");
    load_browser_profiles(&link);
    EXPECT_STREQ(link.profiles[BROWSER_NETSCAPE].exe_path, "C:\\nav\\netscape.exe");
    EXPECT_EQ(std::string(link.profiles[BROWSER_IEXPLORE].exe_path), std::string(MAX_PATH - 1, 'p'));
    for (const char* name : {"iEXPLORE", "Mosaic", "Netscape"}) {
        set_registry_string(HKEY_LOCAL_MACHINE, (std::string(kHttpDdeExecKey) + "\\Application").c_str(), nullptr,
                            name);
        EXPECT_EQ(active_profile(&link), &link.profiles[*name == 'i' ? BROWSER_IEXPLORE : BROWSER_NETSCAPE]) << name;
    }
}

// Opening a page: the browser is started when it does not run (with its
// arguments), given the URL through its template, and raised as its version
// allows: by "WWW_Activate", or by its window, found by class or title.
TEST_F(BrowserLinkTest, OpeningAPageStartsTheBrowserGivesItTheUrlAndRaisesIt) {
    const std::string quoted = std::string("\"") + kUrl + "\",,-1,,,,,";
    const char by_activate[] = "\nconnect WWW_Activate\nrequest WWW_Activate 0xFFFFFFFF,0x0";
    const char by_title[] = "\nconnect WWW_GetWindowInfo\nrequest WWW_GetWindowInfo 0xFFFFFFFF";
    const char version[] = "\nconnect WWW_Version\nrequest WWW_Version WWW_Version";
    const struct {
        uint32_t browser;
        bool running;
        const char *version, *window_info, *window_class, *title;
        std::string log;  // the first line, then the rest in any order
    } cases[] = {
        {BROWSER_NETSCAPE, false, "0x20000", "", "", "", std::string("start -h") + version + by_activate},
        {BROWSER_NETSCAPE, true, "0x10000", "\"http://a.example/\",\"Netscape - [Old Page]\"", "",
         "Netscape - [Old Page]", std::string("start") + version + by_title},
        {BROWSER_IEXPLORE, false, "", "", "Internet Explorer_Frame", "Start - Microsoft Internet Explorer",
         "start -nohome"},
        {BROWSER_IEXPLORE, true, "", "", "", "", std::string("start") + by_activate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.log);
        use_peer(c.browser);
        peer_config.service = c.browser == BROWSER_IEXPLORE ? "IExplore" : "Netscape";
        peer_config.version = c.version;
        peer_config.window_info = c.window_info;
        peer_config.window_class = *c.window_class ? c.window_class : "LkDdePeer";
        peer_config.title = c.title;
        peer_config.show = *c.title ? "minimized" : "";
        if (c.running) {
            ASSERT_TRUE(start_peer(peer_config));
        } else {
            set_peer_environment(peer_config);
        }
        EXPECT_TRUE(open_url(&link, kUrl));
        EXPECT_TRUE(!*c.title || !IsIconic(find_peer_window(peer_config))) << "restored";
        expect_log(c.log + "\nconnect WWW_OpenURL\n" + execute_line(c.browser ? quoted : kUrl));
    }
    // Every placeholder of the template takes the URL; a fixed choice keeps DDE
    // whatever the URL and the URL.DLL switch.
    use_peer(BROWSER_NETSCAPE);
    peer_config = PeerConfig();
    peer_config.log_path = folder + "\\peer.log";
    ASSERT_TRUE(start_peer(peer_config));
    lstrcpyA(link.profiles[BROWSER_NETSCAPE].open_url_exec, "[%s|%s]");
    link.use_url_dll = 1;
    EXPECT_TRUE(open_url(&link, "file:///C:/%s"));
    expect_log(std::string("start") + version + by_title + "\nconnect WWW_OpenURL\n" +
               execute_line("[file:///C:/%s|file:///C:/%s]"));
    // At start-up a browser that does not run yet is started with no arguments.
    set_peer_environment(peer_config);
    EXPECT_TRUE(launch_browser(&link, true));
    expect_log("start");
}

// What cannot be reached is reported; only web addresses (which ones: the
// shell_url tests) reach the shell, which opens them with the program
// registered for them.
TEST_F(BrowserLinkTest, FailuresAreReportedAndTheShellGetsOnlyWebAddresses) {
    use_peer(BROWSER_NETSCAPE);
    peer_config.service = "Elsewhere";  // starts, but serves under another name
    set_peer_environment(peer_config);
    DialogDriver driver;
    EXPECT_FALSE(open_url(&link, kUrl));
    expect_log("start -h");
    lstrcpyA(link.profiles[BROWSER_NETSCAPE].exe_path, "C:\\nowhere\\netscape.exe");
    EXPECT_FALSE(launch_browser(&link, true));

    link.selected_browser = BROWSER_AUTOMATIC;
    link.use_url_dll = 1;
    EXPECT_FALSE(open_url(&link, "javascript:alert(1)"));
    EXPECT_EQ(file_text(peer_config.log_path), "") << "no program started";
    ASSERT_EQ(driver.boxes.size(), 3u);
    EXPECT_EQ(driver.boxes[0].text, "Unable to launch and initiate conversation with browser");
    EXPECT_EQ(driver.boxes[1].text, "Unable to launch browser\n\nC:\\nowhere\\netscape.exe");
    EXPECT_EQ(driver.boxes[2].text,
              "Unable to open this address: only http, https and ftp addresses are handed to the system's "
              "browser\n\njavascript:alert(1)");

    const char command_key[] = "SOFTWARE\\Classes\\http\\shell\\open\\command";
    const std::string saved = registry_string(HKEY_LOCAL_MACHINE, command_key, nullptr);
    set_registry_string(HKEY_LOCAL_MACHINE, command_key, nullptr, ("\"" + peer_exe_path() + "\" \"%1\"").c_str());
    peer_config.service = "Netscape";
    set_peer_environment(peer_config);
    // The shell returns without waiting for the handler to set itself up.
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "LkDdePeerReady");
    SetEnvironmentVariableA("LK_PEER_READY_EVENT", "LkDdePeerReady");
    EXPECT_TRUE(open_url(&link, kUrl));
    EXPECT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);
    SetEnvironmentVariableA("LK_PEER_READY_EVENT", nullptr);
    CloseHandle(ready);
    set_registry_string(HKEY_LOCAL_MACHINE, command_key, nullptr, saved.c_str());
    expect_log(std::string("start \"") + kUrl + "\"");
}
