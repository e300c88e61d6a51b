// The Favorites folder walk over real folders: depth, names and the path limit.
#include "collection/favorites_import.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "collection/collection.h"
#include "tests/temp_dir.h"

namespace {

class FavoritesImport : public ::testing::Test {
protected:
    ~FavoritesImport() override { free_collection(&c); }

    // The long-path form, which is not bound by the path limit.
    static std::filesystem::path long_form(const std::string& path) { return "\\\\?\\" + path; }
    static std::string shortcut(const std::string& url) { return "[InternetShortcut]\r\nURL=" + url + "\r\n"; }
    const Bookmark* find(const char* url) { return find_by_url(&c, url); }

    TempDir dir;
    Collection c = create_collection();
};

}  // namespace

TEST_F(FavoritesImport, EveryLevelIsWalkedAndOnlyShortcutsAreRead) {
    dir.make_folder("a\\b\\c\\d\\e");
    dir.write("Top.url", shortcut("http://top.example/"));
    dir.write("a\\b\\c\\d\\e\\Bottom.URL", shortcut("http://bottom.example/"));
    dir.write("a\\b\\Middle.uRL", shortcut("http://middle.example/"));
    dir.write("a\\readme.txt", shortcut("http://readme.example/"));
    dir.write("a\\b\\folder.url.bak", shortcut("http://backup.example/"));
    dir.make_folder("a\\Looks Like.url");
    import_favorites(&c, dir.path().c_str());  // with its trailing separator
    EXPECT_EQ(c.records->count, 3u);
    ASSERT_NE(find("http://bottom.example/"), nullptr);
    EXPECT_STREQ(find("http://bottom.example/")->title, "Bottom");
    EXPECT_NE(find("http://middle.example/"), nullptr);
    EXPECT_NE(find("http://top.example/"), nullptr);

    std::string folder = dir.path("a");
    import_favorites(&c, folder.c_str());  // without a separator
    import_favorites(&c, (folder + "/").c_str());
    // Folders that cannot be listed add nothing.
    import_favorites(&c, dir.path("missing").c_str());
    import_favorites(&c, std::string(400, 'z').c_str());
    EXPECT_EQ(c.records->count, 3u);
}

TEST_F(FavoritesImport, EntriesPastThePathLimitAreSkipped) {
    std::string base = dir.path();
    if (base.back() != '\\') base += '\\';
    // A folder whose shortcuts' full paths end just below and just above 259 characters.
    std::string folder = base + std::string(200 - base.size(), 'f');
    std::filesystem::create_directory(long_form(folder));
    std::string fits = std::string(259 - folder.size() - 1 - 4, 'n') + ".url";
    std::string too_long = std::string(260 - folder.size() - 1 - 4, 'm') + ".url";
    std::ofstream(long_form(folder + "\\" + fits), std::ios::binary) << shortcut("http://fits.example/");
    std::ofstream(long_form(folder + "\\" + too_long), std::ios::binary) << shortcut("http://too-long.example/");
    std::string deep = folder + "\\" + std::string(70, 'd');
    std::filesystem::create_directory(long_form(deep));
    std::ofstream(long_form(deep + "\\Deep.url"), std::ios::binary) << shortcut("http://deep.example/");
    import_favorites(&c, dir.path().c_str());
    EXPECT_NE(find("http://fits.example/"), nullptr);
    EXPECT_EQ(find("http://too-long.example/"), nullptr);
    EXPECT_EQ(find("http://deep.example/"), nullptr);
    EXPECT_EQ(c.records->count, 1u);
}
