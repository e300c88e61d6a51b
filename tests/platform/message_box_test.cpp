// Message boxes and the internal-fault box.
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include "tests/platform/message_box_watcher.h"

TEST(MessageBox, MessageBoxCaptionDefaultsToProductName) {
    MessageBoxWatcher watcher;
    EXPECT_EQ(app_message_box(nullptr, "Unable to open\r\n\r\nC:\\x.htm", MB_ICONINFORMATION), IDOK);
    EXPECT_EQ(app_message_box("Export", "Done", MB_ICONINFORMATION), IDOK);
    ASSERT_EQ(watcher.seen().size(), 2u);
    EXPECT_EQ(watcher.seen()[0].caption, "Ravozorizi");
    EXPECT_EQ(watcher.seen()[0].text, "Unable to open\r\n\r\nC:\\x.htm");
    EXPECT_EQ(watcher.seen()[1].caption, "Export");
}

TEST(MessageBox, MessageBoxReturnsTheButtonPressed) {
    MessageBoxWatcher watcher(IDNO);
    EXPECT_EQ(app_message_box(nullptr, "Delete?", MB_YESNO), IDNO);
}

TEST(MessageBox, ApplicationErrorShowsTheFixedBoxWithoutOwner) {
    MessageBoxWatcher watcher;
    application_error("unknown sort type");
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(watcher.seen()[0].caption, "Application Error");
    EXPECT_EQ(watcher.seen()[0].text, "An Unknown error occured in the application");
    EXPECT_FALSE(watcher.seen()[0].owned);
}
