// The last check as the user sees it, and kept by the real program across a restart.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "app/list_view.h"
#include "app/properties_dialog.h"
#include "app/resource.h"
#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/collection_file.h"
#include "tests/app/lk_program.h"
#include "tests/app/window_fixture.h"

namespace {

const uint32_t MAR_12_2027 = 1804852800;  // noon UTC: the same day in the zones the tests run in
char moved_target[] = "https://b.example/new";

const CheckResult gone = {VERDICT_GONE, DATE_BROKEN, 404, 0, nullptr, CHECK_ERROR_NONE};
const CheckResult down = {VERDICT_UNREACHABLE, DATE_BROKEN, 0, 0, nullptr, CHECK_ERROR_TIMED_OUT};
const CheckResult moved = {VERDICT_MOVED, 784111777, 301, 0, moved_target, CHECK_ERROR_NONE};
const CheckResult refused = {VERDICT_BLOCKED, DATE_UNSET, 403, 0, nullptr, CHECK_ERROR_NONE};

TEST(DescribeLastCheck, SaysWhatTheLastCheckFound) {
    const struct {
        const CheckResult* result;
        uint32_t failing_since;  // days before
        const char* text;
    } cases[] = {
        {&gone, 0, "Checked 12 Mar 2027: 404 Not Found"},
        {&refused, 0, "Checked 12 Mar 2027: blocked by the site (403)"},
        {&down, 2, "Checked 12 Mar 2027: no answer in time (failing since 10 Mar 2027)"},
    };
    for (const auto& c : cases) {
        Bookmark record = {};
        if (c.failing_since) store_check_result(&record, c.result, MAR_12_2027 - c.failing_since * 86400);
        store_check_result(&record, c.result, MAR_12_2027);
        char* text = describe_last_check(&record);
        EXPECT_STREQ(text, c.text);
        free(text);
        free(record.moved_to);
    }
}

using PropertiesOfMovedPage = WindowTest;

TEST_F(PropertiesOfMovedPage, OfferItsNewAddressInPlaceOfTheOld) {
    Bookmark* kernel = record("http://www.kernel.org/");
    store_check_result(kernel, &moved, MAR_12_2027);
    std::string shown;
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        shown = item_text(dialog, IDC_PROP_CHECK);
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, IDC_PROP_USE_MOVED), GWL_STYLE) & WS_VISIBLE);
        SendMessageA(dialog, WM_COMMAND, IDC_PROP_USE_MOVED, 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    char* keywords = nullptr;
    EXPECT_TRUE(edit_bookmark_properties(kernel, &keywords, frame));
    free(keywords);
    EXPECT_EQ(shown, "Checked 12 Mar 2027: moved to https://b.example/new");
    EXPECT_STREQ(kernel->url, "https://b.example/new");
    EXPECT_EQ(kernel->last_check, 0u) << "the old address's check was kept";
}

TEST(LkExe, KeepsTheChecksAcrossARestart) {
    TempDir dir;
    dir.write("lk.ini", "[General]\r\nFirst Run=0\r\nAuto Status Check=0\r\n");
    Collection collection = create_collection();
    const CheckResult* results[] = {&gone, &down, &moved};
    for (const CheckResult* result : results) {
        std::string url = "http://a.example/" + std::to_string(collection.records->count);
        add_or_merge(&collection, str_dup("Page"), str_dup(url.c_str()), nullptr, 900000000, 900000001, DATE_UNSET,
                     true);
        store_check_result(static_cast<Bookmark*>(collection.records->items[collection.records->count - 1]), result,
                           MAR_12_2027);
    }
    ASSERT_TRUE(save_collection(&collection, dir.path("lk.htm").c_str(), false));
    free_collection(&collection);
    const std::string written = dir.read("lk.htm");

    Program program(dir);
    ASSERT_NE(program.frame, nullptr);
    EXPECT_TRUE(eventually([&] { return program.rows() == 3; }));
    EXPECT_EQ(program.close(), 1u);
    EXPECT_EQ(dir.read("lk.htm"), written);

    Collection back = create_collection();
    ASSERT_TRUE(read_bookmark_file(&back, dir.path("lk.htm").c_str(), false, nullptr, nullptr));
    const StatusIcon icons[] = {ICON_BROKEN, ICON_SUSPECT, ICON_NOTHING_KNOWN};
    for (uint32_t i = 0; i < back.records->count && i < 3; i++) {
        EXPECT_EQ(status_icon(static_cast<Bookmark*>(back.records->items[i])), icons[i]) << i;
    }
    free_collection(&back);
}

}  // namespace
