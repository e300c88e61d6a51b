// The help page: it ships beside the program and the Contents command opens
// it with the program registered for HTML files (here the dde_peer program,
// which logs how it was started).
#include "app/help.h"

#include <string>
#include <vector>

#include "tests/app/commands_fixture.h"
#include "tests/platform/message_box_watcher.h"

namespace {

const char kHtmExtensionKey[] = "SOFTWARE\\Classes\\.htm";
const char kTestPageClass[] = "SOFTWARE\\Classes\\LkTestHelpPage\\shell\\open\\command";

std::string help_path() {
    char path[MAX_PATH];
    help_file_path(path);
    return path;
}

std::string registry_default(HKEY root, const char* path) {
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return value;
}

}  // namespace

TEST(HelpPage, ShipsBesideTheProgramWithItsTopics) {
    std::string path = help_path();
    ASSERT_GT(path.size(), 12u);
    EXPECT_EQ(path.substr(path.size() - 12), "\\lk-help.htm");
    std::string page = file_text(path);
    for (const char* topic : {"<title>", "Search Filter", "&amp;", "Partial Match", "Fast Add", "Import Favorites",
                              "Export", "Status Checking", "Options"}) {
        EXPECT_NE(page.find(topic), std::string::npos) << topic;
    }
}

TEST_F(CommandsTest, ContentsOpensTheHelpPageWithTheProgramForHtmlFiles) {
    std::string previous = registry_default(HKEY_LOCAL_MACHINE, kHtmExtensionKey);
    set_registry_string(HKEY_LOCAL_MACHINE, kHtmExtensionKey, nullptr, "LkTestHelpPage");
    set_registry_string(HKEY_LOCAL_MACHINE, kTestPageClass, nullptr, ("\"" + peer_exe_path() + "\" \"%1\"").c_str());
    peer_config.service = "LkHelpPeer";
    peer_config.log_path = dir.path("help.log");
    set_peer_environment(peer_config);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "LkHelpPeerReady");
    SetEnvironmentVariableA("LK_PEER_READY_EVENT", "LkHelpPeerReady");

    command(IDM_CONTENTS);
    bool started = WaitForSingleObject(ready, 20000) == WAIT_OBJECT_0;
    SetEnvironmentVariableA("LK_PEER_READY_EVENT", nullptr);
    CloseHandle(ready);
    set_registry_string(HKEY_LOCAL_MACHINE, kHtmExtensionKey, nullptr, previous.c_str());
    delete_registry_key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\LkTestHelpPage");
    ASSERT_TRUE(started);
    ASSERT_TRUE(stop_peer(peer_config));
    std::vector<std::string> log = log_lines(peer_config.log_path);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "start \"" + help_path() + "\"");
}

TEST_F(CommandsTest, MissingHelpPageIsReported) {
    std::string path = help_path();
    std::string aside = path + ".aside";
    ASSERT_TRUE(MoveFileA(path.c_str(), aside.c_str()));
    MessageBoxWatcher watcher;
    command(IDM_CONTENTS);
    MoveFileA(aside.c_str(), path.c_str());
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(watcher.seen()[0].text, "Unable to open the Ravozorizi help file\n\n" + path);
}
