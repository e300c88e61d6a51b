// The browser link: profiles from the settings file and the registry, and DDE
// conversations with the dde_peer program as the browser.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "browser/browser_link.h"
#include "browser/dde_client.h"
#include "tests/browser/browser_test_support.h"
#include "tests/platform/dialog_driver.h"

namespace {

const char kHttpDdeExecKey[] = "SOFTWARE\\classes\\http\\shell\\open\\ddeexec";
const char kDdeApplication[] = "SOFTWARE\\classes\\http\\shell\\open\\ddeexec\\Application";
const char kNetscapeAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe";

std::multiset<std::string> lines_of(const std::string& text) {
    std::multiset<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.insert(line);
    return lines;
}

class BrowserLinkTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        ASSERT_TRUE(start_dde(&link));
    }
    void TearDown() override {
        stop_peer();  // one that a failed test left running
        end_dde(&link);
        delete_registry_key(HKEY_LOCAL_MACHINE, kHttpDdeExecKey);
        delete_registry_key(HKEY_LOCAL_MACHINE, kNetscapeAppPath);
        SettingsTest::TearDown();
    }
    // The peer's log once it has ended, in any order: a new conversation may
    // overtake an asynchronous execute.
    void expect_log(const std::string& expected) {
        ASSERT_TRUE(wait_for_peer() && stop_peer());
        EXPECT_EQ(lines_of(dir.read("peer.log")), lines_of(expected));
        DeleteFileA(peer.log_path.c_str());
    }

    BrowserLink link = {};
    PeerConfig peer = {folder + "\\peer.log", "", ""};
};

}  // namespace

// The path comes from the file, else App Paths; an automatic choice asks the
// registry for the default browser on every use.
TEST_F(BrowserLinkTest, ProfilesAndFailures) {
    set_registry_string(HKEY_LOCAL_MACHINE, kNetscapeAppPath, nullptr, "C:\\nowhere\\netscape.exe");
    write_settings("[Browsers]\r\nSelected Browser=3\r\nUse URL.DLL=1\r\n");
    load_browser_profiles(&link);
    for (const char* name : {"iEXPLORE", "Mosaic", "Netscape"}) {
        set_registry_string(HKEY_LOCAL_MACHINE, kDdeApplication, nullptr, name);
        EXPECT_EQ(active_profile(&link), &link.profiles[*name == 'i' ? BROWSER_IEXPLORE : BROWSER_NETSCAPE]) << name;
    }
    DialogDriver driver;
    EXPECT_FALSE(launch_browser(&link, true));
    EXPECT_FALSE(open_url(&link, "javascript:alert(1)"));
    ASSERT_EQ(driver.boxes.size(), 2u);
    EXPECT_EQ(driver.boxes[0].text, "Unable to launch browser\n\nC:\\nowhere\\netscape.exe");
    EXPECT_EQ(driver.boxes[1].text,
              "Unable to open this address: only http, https and ftp addresses are handed to the system's "
              "browser\n\njavascript:alert(1)");
}

// Every placeholder of the template takes the URL; versions above 0x10000 come
// forward by "WWW_Activate", older ones by restoring the window titled with the
// current page. A fixed choice keeps DDE whatever the URL.DLL switch.
TEST_F(BrowserLinkTest, OpeningAPageStartsTheBrowserAndGivesItTheUrl) {
    write_settings(peer_browser_settings(BROWSER_NETSCAPE) + "Use URL.DLL=1\r\nNetscape - Open URL DDE Exec=%s|%s\r\n");
    load_browser_profiles(&link);
    const std::string open = "\nconnect WWW_OpenURL\nexecute WWW_OpenURL 36 http://a.example/|http://a.example/";
    const std::string version = "\nconnect WWW_Version\nrequest WWW_Version WWW_Version";
    peer.version = "0x10001";
    set_peer_environment(peer);
    EXPECT_TRUE(open_url(&link, "http://a.example/"));
    expect_log("start -h" + version + "\nconnect WWW_Activate\nrequest WWW_Activate 0xFFFFFFFF,0x0" + open);

    HWND old_page = CreateWindowA("Static", "Netscape - [Old Page]", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(old_page, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(old_page));
    peer.version = "0x10000";
    peer.window_info = "\"http://a.example/\",\"Netscape - [Old Page]\"";
    ASSERT_TRUE(start_peer(peer));
    EXPECT_TRUE(open_url(&link, "http://a.example/"));
    EXPECT_FALSE(IsIconic(old_page)) << "restored";
    DestroyWindow(old_page);
    expect_log("start" + version + "\nconnect WWW_GetWindowInfo\nrequest WWW_GetWindowInfo 0xFFFFFFFF" + open);
}
