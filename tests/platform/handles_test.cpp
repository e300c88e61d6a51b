// Each close policy closes what it is given: after the owner is gone the system no longer knows the handle. Winsock's
// header goes before every header that includes <windows.h>.
#include <winsock2.h>

#include "platform/handles.h"

#include <gtest/gtest.h>

#include "core/handles_win32.h"
#include "core/socket_handle.h"
#include "platform/registry.h"
#include "tests/temp_dir.h"

namespace {

TEST(Handles, KernelHandlesAreClosed) {
    TempDir dir;
    const std::string path = dir.path("held.txt");
    dir.write("held.txt", "x");
    // Opened without sharing: the file opens again only once the owner has closed it.
    const auto open_alone = [&] {
        return UniqueFile(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    };
    UniqueFile file = open_alone();
    ASSERT_TRUE(file);
    EXPECT_FALSE(open_alone());
    file.reset();
    EXPECT_TRUE(open_alone());

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(dir.path("*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    { UniqueFind owner(search); }
    EXPECT_FALSE(FindNextFileA(search, &found));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    { UniqueKernelObject owner(event); }
    EXPECT_FALSE(SetEvent(event));
}

TEST(Handles, SocketsAreClosed) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_NE(s, INVALID_SOCKET);
    { UniqueSocket owner(static_cast<uintptr_t>(s)); }
    int type = 0, size = sizeof type;
    EXPECT_EQ(getsockopt(s, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &size), SOCKET_ERROR);
    WSACleanup();
}

TEST(Handles, RegistryKeysAreOpenedForReadingAndClosed) {
    UniqueKey key;
    ASSERT_TRUE(open_registry_key(HKEY_CURRENT_USER, "Software", nullptr, &key));
    const BYTE value[] = "x";
    EXPECT_EQ(RegSetValueExA(key.get(), "lk-handles-test", 0, REG_SZ, value, sizeof value), ERROR_ACCESS_DENIED);
    const HKEY raw = key.get();
    key.reset();
    DWORD values = 0;
    EXPECT_NE(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
}

TEST(Handles, WindowSystemObjectsAreFreed) {
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 1, nullptr);
    ASSERT_TRUE(bitmap);
    { UniqueBitmap owner(bitmap); }
    EXPECT_EQ(GetObjectType(bitmap), 0u);

    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR, 1, 1);
    { UniqueImageList owner(list); }
    int width, height;
    EXPECT_FALSE(ImageList_GetIconSize(list, &width, &height));

    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    stream->AddRef();
    { UniqueCom<IStream> owner(stream); }
    EXPECT_EQ(stream->Release(), 0u);  // the owner gave its reference back
}

HDDEDATA CALLBACK answer_connect(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return reinterpret_cast<HDDEDATA>(type == XTYP_CONNECT ? TRUE : FALSE);
}

TEST(Handles, DdeHandlesAreFreed) {
    DWORD server = 0, client = 0;
    ASSERT_EQ(DdeInitializeA(&server, answer_connect, APPCLASS_STANDARD, 0), static_cast<UINT>(DMLERR_NO_ERROR));
    ASSERT_EQ(DdeInitializeA(&client, answer_connect, APPCMD_CLIENTONLY, 0), static_cast<UINT>(DMLERR_NO_ERROR));
    UniqueDdeInstance server_owner(server);
    UniqueDdeString service(DdeCreateStringHandleA(server, "LkHandlesTest", CP_WINANSI), DdeStringPolicy{server});
    ASSERT_TRUE(DdeNameService(server, service.get(), nullptr, DNS_REGISTER));

    UniqueDdeString name(DdeCreateStringHandleA(client, "LkHandlesTest", CP_WINANSI), DdeStringPolicy{client});
    HCONV conversation = DdeConnect(client, name.get(), name.get(), nullptr);
    ASSERT_TRUE(conversation);
    { UniqueConversation owner(conversation); }
    CONVINFO info = {};
    info.cb = sizeof info;
    EXPECT_EQ(DdeQueryConvInfo(conversation, QID_SYNC, &info), 0u);

    HSZ text = DdeCreateStringHandleA(client, "LkHandlesTestText", CP_WINANSI);
    { UniqueDdeString owner(text, DdeStringPolicy{client}); }
    char copy[32];
    EXPECT_EQ(DdeQueryStringA(client, text, copy, sizeof copy, CP_WINANSI), 0u);

    BYTE bytes[] = "reply";
    HDDEDATA data = DdeCreateDataHandle(client, bytes, sizeof bytes, 0, nullptr, CF_TEXT, 0);
    ASSERT_TRUE(data);
    { UniqueDdeData owner(data); }
    EXPECT_EQ(DdeGetData(data, nullptr, 0, 0), 0u);

    name.reset();
    const DWORD closed = client;
    close_handle<DdeInstancePolicy>(&client);
    EXPECT_EQ(client, 0u);
    EXPECT_FALSE(DdeCreateStringHandleA(closed, "LkHandlesTest", CP_WINANSI));
}

}  // namespace
