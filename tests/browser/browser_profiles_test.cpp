// Browser profiles: defaults, the "Browsers" keys, the registry's default
// browser and automatic selection.
#include "browser/browser_link.h"

#include <gtest/gtest.h>

#include <string>

#include "browser/dde_client.h"
#include "platform/settings_file.h"
#include "tests/browser/browser_test_support.h"

namespace {

const char kNetscapeAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe";

class BrowserProfiles : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        delete_registry_key(HKEY_LOCAL_MACHINE, kHttpDdeExecKey);
        delete_registry_key(HKEY_LOCAL_MACHINE, kNetscapeAppPath);
        ASSERT_TRUE(start_dde(&link()));
    }
    void TearDown() override {
        end_dde(&link());
        delete_registry_key(HKEY_LOCAL_MACHINE, kHttpDdeExecKey);
        delete_registry_key(HKEY_LOCAL_MACHINE, kNetscapeAppPath);
        SettingsTest::TearDown();
    }
    BrowserLink& link() { return link_; }
    const BrowserProfile& netscape() { return link().profiles[BROWSER_NETSCAPE]; }
    const BrowserProfile& iexplore() { return link().profiles[BROWSER_IEXPLORE]; }
    BrowserLink link_ = {};
    void name_default_browser(const char* application) {
        set_registry_string(HKEY_LOCAL_MACHINE, kHttpDdeApplicationKey, nullptr, application);
    }
    int32_t saved_selection() {
        int32_t value = -1;
        EXPECT_TRUE(save_browser_profiles(&link()));
        EXPECT_TRUE(read_int_setting("Browsers", "Selected Browser", &value));
        return value;
    }
};

std::string hsz_text(HSZ handle) {
    char text[64] = "";
    DdeQueryStringA(dde_instance, handle, text, sizeof text, CP_WINANSI);
    return text;
}

}  // namespace

TEST_F(BrowserProfiles, DefaultsFitTheShippedBrowsers) {
    set_registry_string(HKEY_LOCAL_MACHINE, kNetscapeAppPath, nullptr, "C:\\nav\\netscape.exe");
    load_browser_profiles(&link());
    EXPECT_EQ(netscape().browser_id, BROWSER_NETSCAPE);
    EXPECT_STREQ(netscape().service_name, "Netscape");
    EXPECT_EQ(hsz_text(netscape().service_handle), "Netscape");
    EXPECT_STREQ(netscape().exe_path, "C:\\nav\\netscape.exe");
    EXPECT_STREQ(netscape().launch_args, "-h");
    EXPECT_STREQ(netscape().get_url_topic, "WWW_GetWindowInfo");
    EXPECT_STREQ(netscape().open_url_topic, "WWW_OpenURL");
    EXPECT_STREQ(netscape().open_url_exec, "%s");
    EXPECT_STREQ(netscape().version_topic, "WWW_Version");
    EXPECT_EQ(iexplore().browser_id, BROWSER_IEXPLORE);
    EXPECT_STREQ(iexplore().service_name, "IExplore");
    EXPECT_EQ(hsz_text(iexplore().service_handle), "IExplore");
    EXPECT_STREQ(iexplore().launch_args, "-nohome");
    EXPECT_STREQ(iexplore().get_url_topic, "WWW_GetWindowInfo");
    EXPECT_STREQ(iexplore().open_url_topic, "WWW_OpenURL");
    EXPECT_STREQ(iexplore().open_url_exec, "\"%s\",,-1,,,,,");
    EXPECT_STREQ(iexplore().version_topic, "WWW_Version");
    EXPECT_EQ(link().use_url_dll, 0u);
}

TEST_F(BrowserProfiles, ExePathFromTheFileWinsOverAppPaths) {
    set_registry_string(HKEY_LOCAL_MACHINE, kNetscapeAppPath, nullptr, "C:\\nav\\netscape.exe");
    write_settings("[Browsers]\r\nNetscape - Exe Path=C:\\gone\\netscape.exe\r\n");
    load_browser_profiles(&link());
    EXPECT_STREQ(netscape().exe_path, "C:\\gone\\netscape.exe");
}

TEST_F(BrowserProfiles, NoAppPathsEntryLeavesTheExePathEmpty) {
    write_settings("[Browsers]\r\nNetscape - Exe Path=\r\n");
    load_browser_profiles(&link());
    EXPECT_STREQ(netscape().exe_path, "");
    char path[MAX_PATH] = "untouched";
    EXPECT_FALSE(find_app_path("Netscape.exe", path));
    EXPECT_STREQ(path, "untouched");
}

TEST_F(BrowserProfiles, TextsFromTheFileAreCutToTheirFields) {
    std::string long_text(40, 'x');
    std::string long_path = "C:\\" + std::string(300, 'p');
    write_settings("[Browsers]\r\nIExplore - Service Name=" + long_text +
                   "\r\nIExplore - Open URL DDE Exec=go(%s)\r\nNetscape - Exe Path=" + long_path +
                   "\r\nNetscape - Launch Arguments=-new\r\nUse URL.DLL=5\r\n");
    load_browser_profiles(&link());
    EXPECT_EQ(std::string(iexplore().service_name), std::string(31, 'x'));
    EXPECT_STREQ(iexplore().open_url_exec, "go(%s)");
    EXPECT_EQ(std::string(netscape().exe_path), long_path.substr(0, MAX_PATH - 1));
    EXPECT_STREQ(netscape().launch_args, "-new");
    EXPECT_EQ(link().use_url_dll, 1u);
}

TEST_F(BrowserProfiles, FirstStartTakesTheRegistrysBrowserInAnyCase) {
    name_default_browser("iEXPLORE");
    EXPECT_EQ(detect_default_browser(), BROWSER_IEXPLORE);
    load_browser_profiles(&link());
    EXPECT_EQ(link().selected_browser, BROWSER_IEXPLORE);
    EXPECT_EQ(saved_selection(), 1);
}

TEST_F(BrowserProfiles, FirstStartWithoutAHandlerSelectsNetscape) {
    EXPECT_EQ(detect_default_browser(), BROWSER_UNKNOWN);
    load_browser_profiles(&link());
    EXPECT_EQ(link().selected_browser, BROWSER_NETSCAPE);
    name_default_browser("Opera");
    EXPECT_EQ(detect_default_browser(), BROWSER_UNKNOWN);
    load_browser_profiles(&link());
    EXPECT_EQ(link().selected_browser, BROWSER_NETSCAPE);
    name_default_browser("netscape");
    EXPECT_EQ(detect_default_browser(), BROWSER_NETSCAPE);
}

TEST_F(BrowserProfiles, OnlyZeroOneAndThreeAreSelections) {
    name_default_browser("IExplore");
    const struct {
        const char* value;
        uint32_t selected;
    } cases[] = {{"0", 0}, {"1", 1}, {"3", 3}, {"2", 1}, {"7", 1}, {"-1", 1}, {"", 1}, {"x", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        std::string path = folder + "\\selected" + std::to_string(&c - cases) + ".ini";
        set_settings_path(path.c_str());
        write_file(path, std::string("[Browsers]\r\nSelected Browser=") + c.value + "\r\n");
        load_browser_profiles(&link());
        EXPECT_EQ(link().selected_browser, c.selected);
    }
}

TEST_F(BrowserProfiles, AutomaticSelectionAsksTheRegistryOnEveryUse) {
    write_settings("[Browsers]\r\nSelected Browser=3\r\n");
    load_browser_profiles(&link());
    ASSERT_EQ(link().selected_browser, BROWSER_AUTOMATIC);
    EXPECT_EQ(active_profile(&link()), &netscape());
    name_default_browser("IExplore");
    EXPECT_EQ(active_profile(&link()), &iexplore());
    name_default_browser("Netscape");
    EXPECT_EQ(active_profile(&link()), &netscape());
    name_default_browser("Mosaic");
    EXPECT_EQ(active_profile(&link()), &netscape());
    EXPECT_EQ(saved_selection(), 3);
}

TEST_F(BrowserProfiles, FixedSelectionIgnoresTheRegistry) {
    name_default_browser("IExplore");
    link().selected_browser = BROWSER_NETSCAPE;
    EXPECT_EQ(active_profile(&link()), &netscape());
    name_default_browser("Netscape");
    link().selected_browser = BROWSER_IEXPLORE;
    EXPECT_EQ(active_profile(&link()), &iexplore());
}

TEST_F(BrowserProfiles, SavingStopsAtTheFirstFailedWrite) {
    load_browser_profiles(&link());
    set_settings_path((folder + "\\missing\\lk.ini").c_str());
    EXPECT_FALSE(save_browser_profiles(&link()));
}

TEST_F(BrowserProfiles, EndingDdeFreesTheServiceHandles) {
    load_browser_profiles(&link());
    ASSERT_NE(netscape().service_handle, nullptr);
    end_dde(&link());
    EXPECT_EQ(netscape().service_handle, nullptr);
    EXPECT_EQ(iexplore().service_handle, nullptr);
    EXPECT_EQ(dde_instance, 0u);
    ASSERT_TRUE(start_dde(&link()));
}
