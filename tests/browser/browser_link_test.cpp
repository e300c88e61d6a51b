// The browser link: profiles from the settings file and the registry, and the DDE
// conversations with the dde_peer program playing the browser in a process of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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

std::vector<std::string> sorted_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

class BrowserLinkTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        ASSERT_TRUE(start_dde(&link));
        peer.log_path = folder + "\\peer.log";
    }
    void TearDown() override {
        stop_peer(peer);  // one that a failed test left running
        end_dde(&link);
        delete_registry_key(HKEY_LOCAL_MACHINE, kHttpDdeExecKey);
        delete_registry_key(HKEY_LOCAL_MACHINE, kNetscapeAppPath);
        SettingsTest::TearDown();
    }
    void use_peer(uint32_t selected) {
        write_settings(peer_browser_settings(selected));
        load_browser_profiles(&link);
        peer.service = selected == BROWSER_IEXPLORE ? "IExplore" : "Netscape";
    }
    // The peer's log once it has ended, in any order: a new conversation may
    // overtake an asynchronous execute.
    void expect_log(const std::string& expected) {
        ASSERT_TRUE(wait_for_peer(peer) && stop_peer(peer));
        EXPECT_EQ(sorted_lines(file_text(peer.log_path)), sorted_lines(expected + "\nstop"));
        DeleteFileA(peer.log_path.c_str());
    }

    BrowserLink link = {};
    PeerConfig peer;
};

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
// arguments), given the URL through its template (every placeholder takes it),
// and asked to come forward as its version allows: Netscape Navigator above
// 0x10000 and Internet Explorer by "WWW_Activate", older ones by restoring the
// window titled with the current page. A fixed choice keeps DDE whatever the
// URL.DLL switch.
TEST_F(BrowserLinkTest, OpeningAPageStartsTheBrowserAndGivesItTheUrl) {
    const std::string version = "\nconnect WWW_Version\nrequest WWW_Version WWW_Version";
    const std::string by_activate = "\nconnect WWW_Activate\nrequest WWW_Activate 0xFFFFFFFF,0x0";
    const struct {
        uint32_t browser;
        bool running, raised;
        const char *version, *url, *exec;
        std::string log;
    } cases[] = {
        {BROWSER_NETSCAPE, false, false, "0x10001", kUrl, kUrl, "start -h" + version + by_activate},
        {BROWSER_NETSCAPE, true, true, "0x10000", kUrl, kUrl,
         "start" + version + "\nconnect WWW_GetWindowInfo\nrequest WWW_GetWindowInfo 0xFFFFFFFF"},
        {BROWSER_IEXPLORE, true, false, "", "file:///C:/%s", "[file:///C:/%s|file:///C:/%s]", "start" + by_activate},
    };
    peer.window_info = "\"http://a.example/\",\"Netscape - [Old Page]\"";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.log);
        use_peer(c.browser);
        link.use_url_dll = 1;
        lstrcpyA(link.profiles[BROWSER_IEXPLORE].open_url_exec, "[%s|%s]");
        peer.version = c.version;
        peer.title = c.raised ? "Netscape - [Old Page]" : "";
        if (c.running) {
            ASSERT_TRUE(start_peer(peer));
            ASSERT_EQ(IsIconic(find_peer_window(peer)) != FALSE, c.raised) << "minimized";
        } else {
            set_peer_environment(peer);
        }
        EXPECT_TRUE(open_url(&link, c.url));
        EXPECT_TRUE(!c.raised || !IsIconic(find_peer_window(peer))) << "restored";
        expect_log(c.log + "\nconnect WWW_OpenURL\nexecute WWW_OpenURL " + std::to_string(strlen(c.exec) + 1) + " " +
                   c.exec);
    }
    // At start-up a browser that does not run yet is started with no arguments.
    set_peer_environment(peer);
    EXPECT_TRUE(launch_browser(&link, true));
    expect_log("start");
}

// What cannot be reached is reported; only web addresses (which ones: the
// shell_url tests) reach the shell, which opens them with the program
// registered for them.
TEST_F(BrowserLinkTest, FailuresAreReportedAndTheShellGetsOnlyWebAddresses) {
    use_peer(BROWSER_NETSCAPE);
    peer.service = "Elsewhere";  // starts, but serves under another name
    set_peer_environment(peer);
    DialogDriver driver;
    EXPECT_FALSE(open_url(&link, kUrl));
    expect_log("start -h");
    lstrcpyA(link.profiles[BROWSER_NETSCAPE].exe_path, "C:\\nowhere\\netscape.exe");
    EXPECT_FALSE(launch_browser(&link, true));

    link.selected_browser = BROWSER_AUTOMATIC;
    link.use_url_dll = 1;
    EXPECT_FALSE(open_url(&link, "javascript:alert(1)"));
    EXPECT_EQ(file_text(peer.log_path), "") << "no program started";
    ASSERT_EQ(driver.boxes.size(), 3u);
    EXPECT_EQ(driver.boxes[0].text, "Unable to launch and initiate conversation with browser");
    EXPECT_EQ(driver.boxes[1].text, "Unable to launch browser\n\nC:\\nowhere\\netscape.exe");
    EXPECT_EQ(driver.boxes[2].text,
              "Unable to open this address: only http, https and ftp addresses are handed to the system's "
              "browser\n\njavascript:alert(1)");

    const char command_key[] = "SOFTWARE\\Classes\\http\\shell\\open\\command";
    const std::string saved = registry_string(HKEY_LOCAL_MACHINE, command_key, nullptr);
    set_registry_string(HKEY_LOCAL_MACHINE, command_key, nullptr, ("\"" + peer_exe_path() + "\" \"%1\"").c_str());
    peer.service = "Netscape";
    set_peer_environment(peer);
    EXPECT_TRUE(open_url(&link, kUrl));
    set_registry_string(HKEY_LOCAL_MACHINE, command_key, nullptr, saved.c_str());
    expect_log(std::string("start ") + kUrl);
}
