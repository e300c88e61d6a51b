// Whole-file read, and the write that goes through a new file beside the old.
#include "core/whole_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "tests/temp_dir.h"

TEST(WholeFile, WriteThenReadRoundTripLeavesNothingElse) {
    TempDir dir;
    std::string path = dir.path("a.htm");
    std::string text = "line one\r\nline two\r\n\xC3\xA4";
    ASSERT_TRUE(write_whole_file(path.c_str(), text.c_str()));
    char* read = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(read_whole_file(path.c_str(), &read, &size));
    EXPECT_EQ(size, text.size());
    EXPECT_EQ(std::string(read), text);
    free(read);
    EXPECT_EQ(dir.names(), std::set<std::string>{"a.htm"});
}

TEST(WholeFile, ReadFailuresGiveNoText) {
    TempDir dir;
    char* text = reinterpret_cast<char*>(1);
    uint32_t size = 7;
    EXPECT_TRUE(read_whole_file("", &text, &size));
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(size, 0u);

    std::string empty = dir.path("empty");
    dir.write("empty", "");
    EXPECT_FALSE(read_whole_file(empty.c_str(), &text, &size));
    EXPECT_EQ(text, nullptr);
    EXPECT_FALSE(read_whole_file(dir.path("missing").c_str(), &text, &size));
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(size, 0u);
}

TEST(WholeFile, ZeroByteEndsTheText) {
    TempDir dir;
    dir.write("z", std::string("ab\0cd", 5));
    char* text = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(read_whole_file(dir.path("z").c_str(), &text, &size));
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(text, "ab");
    free(text);
}

// The new bytes go to a file of their own: a user's file that happens to bear
// the old fixed temporary name is left alone.
TEST(WholeFile, ReplacesAnExistingFileWholeAndSparesFilesNearby) {
    TempDir dir;
    dir.write("c.htm", std::string(10000, 'x'));
    dir.write("c.htm.tmp", "a file of the user's");
    ASSERT_TRUE(write_whole_file(dir.path("c.htm").c_str(), "short"));
    EXPECT_EQ(dir.read("c.htm"), "short");
    EXPECT_EQ(dir.read("c.htm.tmp"), "a file of the user's");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"c.htm", "c.htm.tmp"}));
}

TEST(WholeFile, FailedWriteLeavesTargetUntouchedAndNothingBehind) {
    for (FileStep step : {FILE_STEP_WRITE, FILE_STEP_FLUSH, FILE_STEP_MOVE_IN}) {
        SCOPED_TRACE(step);
        TempDir dir;
        dir.write("keep.htm", "precious");
        fail_next_file_step(step);
        EXPECT_FALSE(write_whole_file(dir.path("keep.htm").c_str(), "replacement"));
        EXPECT_EQ(dir.read("keep.htm"), "precious");
        EXPECT_EQ(dir.names(), std::set<std::string>{"keep.htm"});
    }
    TempDir dir;
    // A folder in the file's place, and a folder that does not exist.
    dir.make_folder("folder.htm");
    EXPECT_FALSE(write_whole_file(dir.path("folder.htm").c_str(), "text"));
    EXPECT_EQ(dir.names(), std::set<std::string>{"folder.htm"});
    EXPECT_FALSE(write_whole_file(dir.path("no/such/folder/x.htm").c_str(), "text"));
}

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>

TEST(WholeFile, WriteCutShortByTheFileSizeLimitLeavesTargetUntouched) {
    // A file size limit makes the write fail part-way, as a full disk would.
    TempDir dir;
    dir.write("big.htm", "the previous collection");
    struct rlimit old_limit;
    getrlimit(RLIMIT_FSIZE, &old_limit);
    void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old_limit;
    limit.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limit);
    bool written = write_whole_file(dir.path("big.htm").c_str(), std::string(100000, 'y').c_str());
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(written);
    EXPECT_EQ(dir.read("big.htm"), "the previous collection");
    EXPECT_EQ(dir.names(), std::set<std::string>{"big.htm"});
}

TEST(WholeFile, ReplacementKeepsTheFilesPermissions) {
    TempDir dir;
    dir.write("p.htm", "old");
    chmod(dir.path("p.htm").c_str(), 0640);
    ASSERT_TRUE(write_whole_file(dir.path("p.htm").c_str(), "new"));
    struct stat info;
    ASSERT_EQ(stat(dir.path("p.htm").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}
#endif
