// The collection's safety: a save that fails, a file that cannot be read, a missing file with its backup, the end of
// the Windows session; and lk.exe started as a process of its own for what only the whole program does.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/handles_win32.h"
#include "core/whole_file.h"
#include "tests/app/window_fixture.h"
#include "tests/take_text.h"

namespace {

// Copies what `from` holds that `to` lacks, noting each copy made so that it can be taken away again; folders both have
// are merged.
void copy_missing(const std::filesystem::path& from, const std::filesystem::path& to,
                  std::vector<std::filesystem::path>* made) {
    for (const auto& entry : std::filesystem::directory_iterator(from)) {
        const std::filesystem::path target = to / entry.path().filename();
        if (!std::filesystem::exists(target)) {
            std::filesystem::copy(entry.path(), target, std::filesystem::copy_options::recursive);
            made->push_back(target);
        } else if (entry.is_directory()) {
            copy_missing(entry.path(), target, made);
        }
    }
}

}  // namespace

// A save that fails is reported (the file and its backup are the collection file's own concern); closing then asks
// first.
TEST_F(WindowTest, FailedSaveIsReportedAndClosingAsksFirst) {
    fail_next_file_step(FILE_STEP_MOVE_IN);
    DialogDriver driver;
    command(IDM_SAVE);
    ASSERT_EQ(driver.boxes.size(), 1u);
    EXPECT_EQ(driver.boxes[0].text, "Unable to write Ravozorizi to file\n\n" + dir.path("lk.htm"));
    EXPECT_TRUE(dir.names().empty()) << "no temporary file left";
    lstrcpyA(app_state->options.collection_path, dir.path("gone\\lk.htm").c_str());
    for (int button : {IDNO, IDYES}) {
        driver.answer = button;
        SendMessageA(frame, WM_CLOSE, 0, 0);
        EXPECT_EQ(
            driver.boxes.back().text,
            "Unable to write Ravozorizi to file. Close anyway and lose the changes?\n\n" + dir.path("gone\\lk.htm"));
        EXPECT_EQ(IsWindow(frame) != FALSE, button == IDNO);
        EXPECT_EQ(dir.exists("lk.ini"), button == IDYES) << "nothing saved of a close that did not happen";
    }
    EXPECT_EQ(driver.boxes.size(), 3u);
}

// A file that exists but cannot be read (held open, a folder, out of reach) is reported and not written over without
// consent; a missing one in a folder that is there is the first start.
TEST_F(WindowTest, UnreadableCollectionIsNotReplacedWithoutConsent) {
    dir.write("lk.htm", "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DT><A HREF=\"http://kept/\">Kept</A>\n");
    dir.make_folder("folder.htm");
    UniqueFile locked(CreateFileA(dir.path("lk.htm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    DialogDriver driver(IDNO);
    for (const std::string& path : {dir.path("no-such-folder\\lk.htm"), dir.path("folder.htm"), dir.path("lk.htm")}) {
        lstrcpyA(app_state->options.collection_path, path.c_str());
        read_collection_at_startup();
        EXPECT_EQ(driver.boxes.back().text, "Unable to import html bookmark file\n\n" + path);
        EXPECT_TRUE(app_state->collection_unread);
    }
    locked.reset();
    EXPECT_FALSE(save_collection_file());
    EXPECT_NE(dir.read("lk.htm").find("http://kept/"), std::string::npos);
    EXPECT_FALSE(dir.exists("lk.htm.bak"));
    driver.answer = IDYES;
    EXPECT_TRUE(save_collection_file());
    EXPECT_TRUE(save_collection_file());
    EXPECT_EQ(driver.boxes.size(), 5u) << "asked once, before the first save";
    EXPECT_EQ(dir.read("lk.htm").find("http://kept/"), std::string::npos);
    lstrcpyA(app_state->options.collection_path, dir.path("first.htm").c_str());
    EXPECT_TRUE(save_collection_file());
    start_again();
    EXPECT_EQ(driver.boxes.size(), 5u);
    EXPECT_FALSE(app_state->collection_unread);
}

// The collection file gone, its backup there: the user is asked whether to take it back; No starts empty and keeps it.
TEST_F(WindowTest, MissingCollectionWithABackupOffersTheBackup) {
    write_collection(dir.path("lk.htm.bak"), {{"Backed Up", "http://backed.example/"}});
    const std::string backup_text = dir.read("lk.htm.bak");
    for (int button : {IDNO, IDYES}) {
        DialogDriver driver(button);
        read_collection_at_startup();
        ASSERT_EQ(driver.boxes.size(), 1u);
        EXPECT_EQ(driver.boxes[0].text.rfind("The Linkstone file is missing, but its backup of ", 0), 0u);
        EXPECT_EQ(record("http://backed.example/") != nullptr, button == IDYES);
    }
    ASSERT_TRUE(save_collection_file());
    EXPECT_EQ(dir.read("lk.htm.bak"), backup_text) << "the first save has nothing to rotate";
}

// At the end of the session there is no time to ask: what cannot be saved goes to a recovery file (beside the
// collection, else in the temporary folder), which the next start offers and the next save removes.
TEST_F(WindowTest, SessionEndKeepsWhatCannotBeSavedForTheNextStart) {
    char temporary[MAX_PATH];
    GetTempPathA(sizeof temporary, temporary);
    const struct {
        std::string collection, recovery;
        FileStep failing;
    } cases[] = {
        {dir.path("lk.htm"), dir.path("lk.htm.recovered"), FILE_STEP_MOVE_IN},
        {dir.path("gone\\lk.htm"), std::string(temporary) + "lk.htm.recovered", FILE_STEP_NONE},
    };
    for (const auto& test : cases) {
        lstrcpyA(app_state->options.collection_path, test.collection.c_str());
        fail_next_file_step(test.failing);
        DialogDriver driver(IDYES);
        SendMessageA(frame, WM_ENDSESSION, TRUE, 0);
        EXPECT_TRUE(driver.boxes.empty());
        ASSERT_TRUE(file_exists(test.recovery.c_str()));
        EXPECT_FALSE(file_exists(test.collection.c_str()));
        start_again();  // over the same folder
        ASSERT_EQ(driver.boxes.size(), 1u);
        EXPECT_EQ(driver.boxes[0].text,
                  "Windows ended before Ravozorizi could be saved; they were kept in a recovery file.\n\n"
                  "Restore Ravozorizi from it? No deletes it.\n\n" +
                      test.recovery);
        EXPECT_EQ(rows(), 4);
        lstrcpyA(app_state->options.collection_path, dir.path("lk.htm").c_str());
        ASSERT_TRUE(save_collection_file());
        EXPECT_FALSE(file_exists(test.recovery.c_str()));
    }
}

// The whole program, a first start: the settings file of an older version, written in the ANSI code page, still names
// the collection; the Favorites and the browser's bookmark file that the registry names and the browsers' profiles in
// the user's application data folders are taken in; the filter works, a second start only brings the first forward, and
// closing saves the collection and writes the path in UTF-8.
TEST(LkExe, FirstStartFindsTheCollectionImportsFiltersStaysSingleAndSaves) {
    TempDir dir;
    const std::string folder = "C:\\Users\\Jos\xC3\xA9";
    CreateDirectoryA(folder.c_str(), nullptr);
    write_collection(folder + "\\lk.htm", {{"Caf\xC3\xA9 Central", "http://cafe.example/"}});
    dir.write("lk.ini", "[General]\r\nLinkstone File=C:\\Users\\Jos\xE9\\lk.htm\r\n");
    const char netscape_key[] = "Software\\Netscape\\Netscape Navigator\\Bookmark List";
    const char shell_folders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    write_collection(dir.path("bookmark.htm"), {{"Navigator", "http://navigator.example/"}});
    dir.make_folder("fav\\Sub");
    dir.write("fav\\Sub\\Shortcut Page.url", "[InternetShortcut]\r\nURL=http://shortcut.example/\r\n");
    set_registry_string(HKEY_CURRENT_USER, netscape_key, "File Location", dir.path("bookmark.htm").c_str());
    const std::string favorites = registry_string(HKEY_CURRENT_USER, shell_folders, "Favorites");
    set_registry_string(HKEY_CURRENT_USER, shell_folders, "Favorites", dir.path("fav").c_str());
    char local[MAX_PATH], roaming[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)));
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming)));
    std::vector<std::filesystem::path> made;
    copy_missing(LK_STORES_DIR "/profiles/Local", local, &made);
    copy_missing(LK_STORES_DIR "/profiles/Roaming", roaming, &made);
    Program first(dir);
    // 18: every bookmark of the readable browsers' stores.
    EXPECT_TRUE(eventually([&] { return first.rows() == 3 + 18; })) << first.rows();
    std::error_code ignored;
    for (const auto& path : made) std::filesystem::remove_all(path, ignored);
    set_registry_string(HKEY_CURRENT_USER, shell_folders, "Favorites", favorites.c_str());
    delete_registry_key(HKEY_CURRENT_USER, netscape_key);
    HWND filter =
        FindWindowExA(FindWindowExA(first.frame, nullptr, TOOLBARCLASSNAMEA, nullptr), nullptr, "Edit", nullptr);
    SendMessageA(filter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("zzz"));
    PostMessageA(first.frame, WM_NULL, 0, 0);  // like a keystroke, lets the loop come round to its idle pass
    EXPECT_TRUE(eventually([&] { return first.rows() == 0; }));
    Program second(dir, false);
    EXPECT_EQ(second.close(), 0u);
    EXPECT_EQ(first.close(), 1u);
    char* saved_text = nullptr;
    uint32_t size = 0;
    EXPECT_TRUE(read_whole_file((folder + "\\lk.htm").c_str(), &saved_text, &size));
    const std::string settings = dir.read("lk.ini"), saved = take_text(saved_text);
    EXPECT_NE(settings.find("Linkstone File=" + folder + "\\lk.htm\r\n"), std::string::npos);
    EXPECT_EQ(saved.rfind("<HTML><HEAD>\r\n<!DOCTYPE Tessfold-Ravozorizi-file-1>", 0), 0u);
    for (const char* url : {"http://cafe.example/", "http://shortcut.example/", "http://navigator.example/"}) {
        EXPECT_NE(saved.find(std::string("HREF=\"") + url + "\""), std::string::npos) << url;
    }
    for (const char* name : {"\\lk.htm", "\\lk.htm.bak"}) DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}
