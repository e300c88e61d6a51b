// The frame's close and lk.exe as a process: files written at close, the
// collection file that could not be read, one instance only.
#include "app/frame.h"

#include <shlobj.h>

#include <fstream>
#include <set>
#include <string>

#include "app/collection_files.h"
#include "app/resource.h"
#include "collection/collection_file.h"
#include "core/whole_file.h"
#include "platform/settings_file.h"
#include "tests/app/dialog_driver.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/program_process.h"
#include "tests/platform/message_box_watcher.h"
#include "tests/temp_dir.h"

namespace {

class FrameFilesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        set_settings_path(dir.path("lk.ini").c_str());
        lstrcpyA(app_state->options.collection_path, dir.path("lk.htm").c_str());
    }
    TempDir dir;
};

}  // namespace

TEST_F(FrameFilesTest, FrameCarriesClassTitleAndChildren) {
    EXPECT_EQ(app_state->main_window, frame);
    EXPECT_EQ(FindWindowA(FRAME_CLASS_NAME, nullptr), frame);
    char title[64];
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ(title, "Ravozorizi");
    EXPECT_EQ(GetParent(app_state->filter_edit), app_state->toolbar);
    EXPECT_NE(app_state->tooltip_control, nullptr);
    EXPECT_NE(GetMenu(frame), nullptr);
}

TEST_F(FrameFilesTest, CloseWritesBothFilesAndEndsTheLoop) {
    ListView_SetColumnWidth(app_state->list_view, 1, 321);
    SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(app_state->main_window, nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    std::string saved = dir.read("lk.htm");
    EXPECT_NE(saved.find("http://www.kernel.org/"), std::string::npos);
    EXPECT_NE(saved.find("The Linux Kernel Archives"), std::string::npos);
    EXPECT_NE(dir.read("lk.ini").find("Col Width 1=321"), std::string::npos);
}

TEST_F(FrameFilesTest, EndOfSessionSavesWithoutClosing) {
    SendMessageA(frame, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(dir.exists("lk.htm"));
    EXPECT_TRUE(dir.exists("lk.ini"));
}

TEST_F(FrameFilesTest, UnreadableCollectionIsNotReplacedWithoutConsent) {
    dir.write("lk.htm", "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DT><A HREF=\"http://kept/\">Kept</A>\n");
    app_state->options.option_flags |= OPT_BACKUP_COLLECTION;
    // Another program holds the file open without sharing: it cannot be read.
    HANDLE locked =
        CreateFileA(app_state->options.collection_path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    {
        MessageBoxWatcher watcher;
        read_collection_at_startup();
        ASSERT_EQ(watcher.seen().size(), 1u);
        EXPECT_EQ(watcher.seen()[0].text.rfind("Unable to import html bookmark file", 0), 0u);
    }
    CloseHandle(locked);
    EXPECT_TRUE(app_state->collection_unread);
    {
        MessageBoxWatcher watcher(IDNO);
        EXPECT_FALSE(save_collection_file());
        EXPECT_FALSE(save_collection_file());
        EXPECT_EQ(watcher.seen().size(), 2u);
    }
    EXPECT_NE(dir.read("lk.htm").find("http://kept/"), std::string::npos);
    EXPECT_FALSE(dir.exists("lk.htm.bak"));
    MessageBoxWatcher watcher(IDYES);
    EXPECT_TRUE(save_collection_file());
    EXPECT_EQ(dir.read("lk.htm").find("http://kept/"), std::string::npos);
    EXPECT_TRUE(save_collection_file());
    EXPECT_EQ(watcher.seen().size(), 1u) << "asked once, before the first save";
}

TEST_F(FrameFilesTest, MissingCollectionIsTheFirstStartAndIsCreated) {
    MessageBoxWatcher watcher;
    read_collection_at_startup();
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_FALSE(app_state->collection_unread);
    EXPECT_TRUE(save_collection_file());
    EXPECT_TRUE(dir.exists("lk.htm"));
}

// Only a file missing from a folder that is there is a first start; a file
// out of reach is reported and, like an unreadable one, not written over.
TEST_F(FrameFilesTest, CollectionOutOfReachIsReportedAndNotReplaced) {
    dir.make_folder("folder.htm");
    const std::string cases[] = {dir.path("no-such-folder\\lk.htm"), dir.path("folder.htm")};
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        lstrcpyA(app_state->options.collection_path, path.c_str());
        app_state->collection_unread = 0;
        MessageBoxWatcher watcher;
        read_collection_at_startup();
        ASSERT_EQ(watcher.seen().size(), 1u);
        EXPECT_EQ(watcher.seen()[0].text, "Unable to import html bookmark file\n\n" + path);
        EXPECT_TRUE(app_state->collection_unread);
    }
}

// The collection file gone, its backup there: the user is asked, with the
// backup's date, whether to take it back; No starts empty and keeps it.
TEST_F(FrameFilesTest, MissingCollectionWithABackupOffersTheBackup) {
    Collection saved = create_collection();
    add_or_merge(&saved, str_dup("Backed Up"), str_dup("http://backed.example/"), nullptr, 900000000, DATE_UNSET,
                 DATE_UNSET, true);
    ASSERT_TRUE(save_collection(&saved, dir.path("lk.htm.bak").c_str(), false));
    free_collection(&saved);
    const std::string backup_text = dir.read("lk.htm.bak");
    HANDLE backup = CreateFileA(dir.path("lk.htm.bak").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME march_2024 = {0x39DE0000, 0x01DA7410};  // 12 March 2024, 00:00 UTC
    SetFileTime(backup, nullptr, nullptr, &march_2024);
    CloseHandle(backup);

    for (int answer : {IDNO, IDYES}) {
        MessageBoxWatcher watcher(answer);
        read_collection_at_startup();
        idle();
        ASSERT_EQ(watcher.seen().size(), 1u);
        const std::string& question = watcher.seen()[0].text;
        EXPECT_EQ(question.rfind("The Linkstone file is missing, but its backup of ", 0), 0u) << question;
        EXPECT_NE(question.find("2024"), std::string::npos) << question;
        EXPECT_EQ(question.substr(question.size() - dir.path("lk.htm.bak").size()), dir.path("lk.htm.bak"));
        EXPECT_EQ(record("http://backed.example/") != nullptr, answer == IDYES);
    }
    EXPECT_EQ(rows(), 5);
    ASSERT_TRUE(save_collection_file());
    EXPECT_EQ(dir.read("lk.htm.bak"), backup_text) << "the first save has nothing to rotate";
}

TEST_F(FrameFilesTest, SavingShowsItselfUntilDone) {
    fail_next_file_step(FILE_STEP_FLUSH);
    std::string status_meanwhile, message;
    DialogDriver driver;
    driver.then([&](HWND box) {
        status_meanwhile = pane(0);
        message = message_box_text(box);
        press(box, IDOK);
    });
    SendMessageA(frame, WM_COMMAND, IDM_SAVE, 0);
    const std::string path = app_state->options.collection_path;
    EXPECT_EQ(status_meanwhile, "Saving Ravozorizi file: " + path);
    EXPECT_EQ(message, "Unable to write Ravozorizi to file\n\n" + path);
    EXPECT_EQ(pane(0), "Ready");
    EXPECT_FALSE(dir.exists("lk.htm"));
}

// Closing after a failed save asks; No keeps the window (and the changes).
TEST_F(FrameFilesTest, CloseAfterAFailedSaveAsksAndNoKeepsTheWindow) {
    const std::string path = dir.path("gone\\lk.htm");
    lstrcpyA(app_state->options.collection_path, path.c_str());
    {
        MessageBoxWatcher watcher(IDNO);
        SendMessageA(frame, WM_CLOSE, 0, 0);
        ASSERT_EQ(watcher.seen().size(), 1u);
        EXPECT_EQ(watcher.seen()[0].text,
                  "Unable to write Ravozorizi to file. Close anyway and lose the changes?\n\n" + path);
    }
    EXPECT_TRUE(IsWindow(frame));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_FALSE(dir.exists("lk.ini")) << "nothing saved of a close that did not happen";

    MessageBoxWatcher watcher(IDYES);
    SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// At the end of the session there is no time to ask: what cannot be saved
// goes to a recovery file (beside the collection, else in the temporary
// folder), which the next start offers and the next save removes.
TEST_F(FrameFilesTest, SessionEndKeepsWhatCannotBeSavedForTheNextStart) {
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
        SCOPED_TRACE(test.collection);
        lstrcpyA(app_state->options.collection_path, test.collection.c_str());
        fail_next_file_step(test.failing);
        {
            MessageBoxWatcher watcher;
            SendMessageA(frame, WM_ENDSESSION, TRUE, 0);
            EXPECT_TRUE(watcher.seen().empty());
        }
        ASSERT_TRUE(file_exists(test.recovery.c_str()));
        EXPECT_FALSE(file_exists(test.collection.c_str()));

        // The next start, over the same folder.
        SendMessageA(app_state->list_view, LVM_DELETEALLITEMS, 0, 0);
        free_collection(&app_state->collection);
        app_state->collection = create_collection();
        app_state->recovery_path[0] = '\0';
        {
            MessageBoxWatcher watcher(IDYES);
            read_collection_at_startup();
            ASSERT_EQ(watcher.seen().size(), 1u);
            EXPECT_EQ(watcher.seen()[0].text,
                      "Windows ended before Ravozorizi could be saved; they were kept in a recovery file.\n\n"
                      "Restore Ravozorizi from it? No deletes it.\n\n" +
                          test.recovery);
        }
        idle();
        EXPECT_EQ(rows(), 4);
        lstrcpyA(app_state->options.collection_path, dir.path("lk.htm").c_str());
        ASSERT_TRUE(save_collection_file());
        EXPECT_FALSE(file_exists(test.recovery.c_str()));
    }
}

namespace {

// Polls a condition the other process brings about in its own time.
template <typename Condition>
bool eventually(Condition condition) {
    for (int i = 0; i < 400; i++) {
        if (condition()) return true;
        Sleep(25);
    }
    return false;
}

int list_rows(HWND frame) {
    HWND list = FindWindowExA(frame, nullptr, WC_LISTVIEWA, nullptr);
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

}  // namespace

TEST(LkExe, FiltersSavesBothFilesAndStaysSingleInstance) {
    TempDir dir;
    std::string exe = dir.path("lk.exe");
    ASSERT_TRUE(CopyFileA(LK_EXE_PATH, exe.c_str(), FALSE));
    dir.write("lk.ini", "[General]\r\nFirst Run=0\r\n");
    Collection collection = create_collection();
    add_or_merge(&collection, str_dup("The Linux Kernel Archives"), str_dup("http://www.kernel.org/"), nullptr,
                 900000000, DATE_UNSET, DATE_UNSET, true);
    add_or_merge(&collection, str_dup("Internet Engineering Task Force"), str_dup("http://www.ietf.org/"), nullptr,
                 900000000, DATE_UNSET, DATE_UNSET, true);
    add_or_merge(&collection, str_dup("Interface Design Patterns"), str_dup("http://ui-patterns.com/"), nullptr,
                 900000000, DATE_UNSET, DATE_UNSET, true);
    ASSERT_TRUE(save_collection(&collection, dir.path("lk.htm").c_str(), false));
    free_collection(&collection);
    ProgramProcess first;
    ASSERT_TRUE(first.start(exe));
    HWND frame = first.wait_for_frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(eventually([&] { return list_rows(frame) == 3; }));

    HWND toolbar = FindWindowExA(frame, nullptr, TOOLBARCLASSNAMEA, nullptr);
    HWND filter = FindWindowExA(toolbar, nullptr, "Edit", nullptr);
    ASSERT_NE(filter, nullptr);
    SendMessageA(filter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("inter"));
    // Sent messages are handled inside GetMessage; like a keystroke, a posted
    // message lets the loop come round to its idle pass.
    PostMessageA(frame, WM_NULL, 0, 0);
    EXPECT_TRUE(eventually([&] { return list_rows(frame) == 2; }));

    ProgramProcess second;
    ASSERT_TRUE(second.start(exe));
    EXPECT_EQ(second.wait_exit(), 0u);
    EXPECT_TRUE(IsWindow(frame));

    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.wait_exit(), 1u);
    std::string saved = dir.read("lk.htm");
    EXPECT_EQ(saved.rfind("<HTML><HEAD>\r\n<!DOCTYPE Tessfold-Ravozorizi-file-1>", 0), 0u);
    EXPECT_NE(saved.find("HREF=\"http://www.ietf.org/\""), std::string::npos);
    std::string settings = dir.read("lk.ini");
    EXPECT_NE(settings.find("First Run=0"), std::string::npos);
    EXPECT_NE(settings.find("Col Width 0="), std::string::npos);
}

namespace {

// A collection file with one bookmark at the path.
void write_one_bookmark(const std::string& path, const char* title, const char* url) {
    Collection collection = create_collection();
    add_or_merge(&collection, str_dup(title), str_dup(url), nullptr, 900000000, DATE_UNSET, DATE_UNSET, true);
    ASSERT_TRUE(save_collection(&collection, path.c_str(), false));
    free_collection(&collection);
}

// Starts the program and waits until it lists the rows; null when it did not show.
HWND start_listing(ProgramProcess* program, const std::string& exe, int rows) {
    if (!program->start(exe)) return nullptr;
    HWND frame = program->wait_for_frame();
    if (frame) {
        EXPECT_TRUE(eventually([&] { return list_rows(frame) == rows; }));
    }
    return frame;
}

void close_program(ProgramProcess* program, HWND frame) {
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(program->wait_exit(), 1u);
}

void run_until_listed(const std::string& exe, int rows) {
    ProgramProcess program;
    HWND frame = start_listing(&program, exe, rows);
    ASSERT_NE(frame, nullptr);
    close_program(&program, frame);
}

}  // namespace

// A settings file of an older version, written in the ANSI code page, still
// names the collection; closing writes the path back in UTF-8.
TEST(LkExe, AnsiSettingsFileStillFindsTheCollection) {
    TempDir dir;
    std::string exe = dir.path("lk.exe");
    ASSERT_TRUE(CopyFileA(LK_EXE_PATH, exe.c_str(), FALSE));
    const std::string folder = "C:\\Users\\Jos\xC3\xA9";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string collection = folder + "\\lk.htm";
    write_one_bookmark(collection, "Caf\xC3\xA9 Central", "http://cafe.example/");
    dir.write("lk.ini", "[General]\r\nFirst Run=0\r\nLinkstone File=C:\\Users\\Jos\xE9\\lk.htm\r\n");
    run_until_listed(exe, 1);
    EXPECT_NE(dir.read("lk.ini").find("Linkstone File=" + collection + "\r\n"), std::string::npos)
        << dir.read("lk.ini");
    for (const char* name : {"\\lk.htm", "\\lk.htm.bak"}) DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

namespace {

// Makes a folder unwritable even for the superuser the tests run as (its
// entries can be neither made nor removed), and writable again at the end.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const std::string& folder) : probe_(folder + "\\probe") {
        typedef char*(CDECL * UnixNameFn)(const WCHAR*);
        UnixNameFn unix_name = reinterpret_cast<UnixNameFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH);
        char* name = unix_name ? unix_name(wide) : nullptr;
        if (!name) return;
        unix_path_ = name;
        HeapFree(GetProcessHeap(), 0, name);
        made_ = chattr("+i") && eventually([&] { return !takes_files(); });
    }
    ~ImmutableFolder() {
        if (made_) {
            EXPECT_TRUE(chattr("-i") && eventually([&] { return takes_files(); }));
        }
    }
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;
    bool made() const { return made_; }

private:
    // Wine starts programs of the host system too, but hands out no handle
    // to wait on: the folder's state tells when the command is done.
    bool chattr(const char* flag) {
        std::string command = std::string("/usr/bin/chattr ") + flag + " \"" + unix_path_ + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            return false;
        }
        if (process.hThread) CloseHandle(process.hThread);
        if (process.hProcess) CloseHandle(process.hProcess);
        return true;
    }
    bool takes_files() {
        HANDLE file =
            CreateFileA(probe_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        return true;
    }
    std::string probe_;
    std::string unix_path_;
    bool made_ = false;
};

std::string user_data_folder() {
    char appdata[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appdata);
    return std::string(appdata) + "\\Ravozorizi";
}

void remove_user_data_folder() {
    const std::string folder = user_data_folder();
    for (const char* name : {"\\lk.ini", "\\lk.htm", "\\lk.htm.bak"}) DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

// Installed where it cannot write (as under Program Files) and with no files
// of its own there yet, the program keeps them in the user's application data
// folder; a folder holding its settings stays the place, writable or not.
TEST(LkExe, UnwritableProgramFolderKeepsTheFilesInTheUsersDataFolder) {
    TempDir dir;
    dir.make_folder("program");
    const std::string exe = dir.path("program\\lk.exe");
    ASSERT_TRUE(CopyFileA(LK_EXE_PATH, exe.c_str(), FALSE));
    remove_user_data_folder();
    {
        ImmutableFolder read_only(dir.path("program"));
        if (!read_only.made()) GTEST_SKIP() << "chattr +i is not available here";
        run_until_listed(exe, 0);
        EXPECT_EQ(dir.names("program"), std::set<std::string>{"lk.exe"});
    }
    const std::string data = user_data_folder();
    EXPECT_TRUE(file_exists((data + "\\lk.ini").c_str()));
    EXPECT_TRUE(file_exists((data + "\\lk.htm").c_str()));
    remove_user_data_folder();

    // The place is decided at start-up; the folder takes the files at close.
    dir.write("program\\lk.ini", "[General]\r\nFirst Run=0\r\n");
    write_one_bookmark(dir.path("program\\lk.htm"), "Kept Beside", "http://beside.example/");
    ProgramProcess program;
    HWND frame;
    {
        ImmutableFolder read_only(dir.path("program"));
        frame = start_listing(&program, exe, 1);
    }
    ASSERT_NE(frame, nullptr);
    close_program(&program, frame);
    EXPECT_NE(dir.read("program\\lk.ini").find("Linkstone File=" + dir.path("program\\lk.htm")), std::string::npos);
    EXPECT_FALSE(file_exists((data + "\\lk.ini").c_str()));
}
