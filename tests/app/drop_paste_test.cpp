// Links that come from other programs through the real window: dragged onto the list (its registered drop target handed
// the clipboard's data object, as a drag hands the source's) and pasted from the clipboard. What each format's text
// yields is the dropped links' own test; here, which format is read and what the list and status bar show.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "app/command_state.h"
#include "app/drop_target.h"
#include "collection/import_report.h"
#include "tests/app/window_fixture.h"

namespace {

using Formats = std::vector<std::pair<UINT, std::string>>;

UINT format(const char* name) { return RegisterClipboardFormatA(name); }

// The UTF-8 text in UTF-16, as bytes.
std::string utf16(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                        &wide[0], static_cast<int>(wide.size()))));
    return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
}

// The text in UTF-16 as the one format on offer.
Formats utf16_as(UINT format, const std::string& text) { return {{format, utf16(text)}}; }
Formats moz_url(const std::string& text) { return utf16_as(format("text/x-moz-url"), text); }

// A file group descriptor of one shortcut file with that name and contents.
Formats one_shortcut(const std::string& name, const std::string& url) {
    FILEGROUPDESCRIPTORW group = {};
    group.cItems = 1;
    MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, group.fgd[0].cFileName, MAX_PATH);
    return {{format("FileGroupDescriptorW"), std::string(reinterpret_cast<const char*>(&group), sizeof group)},
            {format("FileContents"), "[InternetShortcut]\r\nURL=" + url + "\r\n"}};
}

// The shell's list of dropped files.
Formats dropped_files(const std::vector<std::string>& paths) {
    DROPFILES header = {};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    std::string names;
    for (const std::string& path : paths) names += utf16(path) + std::string(2, '\0');
    return {{CF_HDROP, std::string(reinterpret_cast<const char*>(&header), sizeof header) + names}};
}

class DropPasteTest : public WindowTest {
protected:
    // OLE before the frame, as the program starts it: the list registers its target.
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        OleUninitialize();
    }

    void put_on_clipboard(const Formats& formats) {
        ASSERT_TRUE(OpenClipboard(frame));
        EmptyClipboard();
        for (const auto& data : formats) {
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, data.second.size() + 2);
            memcpy(GlobalLock(memory), data.second.data(), data.second.size());
            GlobalUnlock(memory);
            SetClipboardData(data.first, memory);
        }
        CloseClipboard();
    }

    // Drags the data over the list and drops it; the cursor the list chose.
    DWORD drop(const Formats& formats, DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_LINK | DROPEFFECT_MOVE) {
        put_on_clipboard(formats);
        IDataObject* data = nullptr;
        EXPECT_TRUE(SUCCEEDED(OleGetClipboard(&data)));
        if (!data) return DROPEFFECT_NONE;
        IDropTarget* target = list_drop_target();
        DWORD entered = allowed;
        target->DragEnter(data, MK_LBUTTON, POINTL{10, 10}, &entered);
        DWORD dropped = allowed;
        target->Drop(data, 0, POINTL{10, 10}, &dropped);
        EXPECT_EQ(dropped, entered);
        data->Release();
        idle();
        return entered;
    }
    std::string title_of(const char* url) {
        const Bookmark* found = record(url);
        return found ? found->title : "<none>";
    }
};

}  // namespace

// What browsers hand over when a link or the address bar is dragged: each form gives its bookmark, titled where it can
// be; a link stored already is told of; data that holds no link shows no drop cursor and changes nothing.
TEST_F(DropPasteTest, LinksDraggedFromBrowsers) {
    EXPECT_EQ(RegisterDragDrop(app_state->list_view, list_drop_target()), DRAGDROP_E_ALREADYREGISTERED);
    const DWORD copy = DROPEFFECT_COPY, link = DROPEFFECT_LINK;
    const struct {
        Formats formats;
        DWORD allowed, effect;
        const char *url, *title, *status;
    } cases[] = {
        {moz_url("http://drop.example/a\nDropped \xC3\xA9"), copy | link, copy, "http://drop.example/a",
         "Dropped \xC3\xA9", "Linkstone added: http://drop.example/a"},
        {moz_url("HTTP://DROP.example/a\nOther"), link, link, "http://drop.example/a", "Dropped \xC3\xA9",
         "Linkstone already exists: HTTP://DROP.example/a"},
        {one_shortcut("Chrome Link.url", "http://drop.example/b"), copy, copy, "http://drop.example/b", "Chrome Link",
         "Linkstone added: http://drop.example/b"},
        {utf16_as(format("UniformResourceLocatorW"), "http://drop.example/c"), copy, copy, "http://drop.example/c",
         "http://drop.example/c", "Linkstone added: http://drop.example/c"},
        {utf16_as(CF_UNICODETEXT, "just some words"), copy, DROPEFFECT_NONE, "just some words", "<none>",
         "Linkstone added: http://drop.example/c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(drop(c.formats, c.allowed), c.effect) << c.url;
        EXPECT_EQ(title_of(c.url), c.title);
        EXPECT_EQ(pane(0), c.status);
    }
    EXPECT_EQ(count(), 7u);
}

// Files dragged from the shell are imported as Import does, with the report.
TEST_F(DropPasteTest, ShortcutAndBookmarkFilesDraggedFromTheShell) {
    dir.write("Kernel Shortcut.url", "[InternetShortcut]\r\nURL=http://files.example/shortcut\r\n");
    dir.write("export.htm",
              "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><A HREF=\"http://files.example/exported\">Exported"
              "</A>\n<DT><A HREF=\"http://www.ietf.org/\">IETF again</A>\n</DL>\n");
    dir.write("notes.txt", "http://files.example/not-read\n");
    EXPECT_EQ(drop(dropped_files({dir.path("notes.txt")})), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(count(), 4u);
    EXPECT_EQ(drop(dropped_files({dir.path("Kernel Shortcut.url"), dir.path("notes.txt"), dir.path("export.htm")})),
              static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(title_of("http://files.example/shortcut"), "Kernel Shortcut");
    EXPECT_EQ(title_of("http://files.example/exported"), "Exported");
    EXPECT_EQ(pane(0), "2 added, 1 merged, 1 skipped");
    ASSERT_NE(app_state->last_import, nullptr);
    EXPECT_STREQ(tb_text(app_state->last_import->reasons), "notes.txt: not a bookmark file\n");
}

// Ctrl+V in the list adds the clipboard's links, the HTML form's before its plain text; in the search filter it pastes
// text; Add starts with the clipboard's link when no browser tells its page.
TEST_F(DropPasteTest, PasteInTheListAndTheFilterAndAddFromTheClipboard) {
    put_on_clipboard({{format("HTML Format"),
                       "<a href=\"http://www.ietf.org/\">IETF</a> <A HREF=\"https://other.example/\">Other <i>one</i>"},
                      {CF_UNICODETEXT, utf16("IETF Other one http://text.example/")}});
    SetFocus(app_state->list_view);
    EXPECT_TRUE(command_state(IDM_PASTE));
    command(IDM_PASTE);
    EXPECT_EQ(title_of("https://other.example/"), "Other one");
    EXPECT_EQ(pane(0), "1 added, 1 merged, 0 skipped");
    EXPECT_EQ(count(), 5u);

    put_on_clipboard(utf16_as(CF_UNICODETEXT, "kernel"));
    EXPECT_FALSE(command_state(IDM_PASTE));  // no link on it for the list
    SetFocus(app_state->filter_edit);
    EXPECT_TRUE(command_state(IDM_PASTE));
    command(IDM_PASTE);
    EXPECT_EQ(window_text(app_state->filter_edit), "kernel");
    EXPECT_EQ(count(), 5u);

    put_on_clipboard(moz_url("http://copied.example/\nCopied Page"));
    std::string shown;
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        shown = item_text(dialog, IDC_PROP_TITLE) + " " + item_text(dialog, IDC_PROP_URL);
        press(dialog, IDOK);
    });
    command(IDM_ADD);
    EXPECT_EQ(shown, "Copied Page http://copied.example/");
    EXPECT_EQ(title_of("http://copied.example/"), "Copied Page");
}
