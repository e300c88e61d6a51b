// The close policies of the window system's handles (see core/unique_handle.h;
// files and find handles: core/handles_win32.h, sockets: core/socket_handle.h).
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <ddeml.h>

#include "core/unique_handle.h"

struct RegistryKeyPolicy {
    using Handle = HKEY;
    static Handle invalid() { return nullptr; }
    static void close(Handle key) { RegCloseKey(key); }
};
using UniqueKey = UniqueHandle<RegistryKeyPolicy>;

// Fonts, bitmaps, brushes, pens: each keeps its own type.
template <typename Object>
struct GdiObjectPolicy {
    using Handle = Object;
    static Handle invalid() { return nullptr; }
    static void close(Handle object) { DeleteObject(object); }
};
using UniqueFont = UniqueHandle<GdiObjectPolicy<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectPolicy<HBITMAP>>;

struct ImageListPolicy {
    using Handle = HIMAGELIST;
    static Handle invalid() { return nullptr; }
    static void close(Handle list) { ImageList_Destroy(list); }
};
using UniqueImageList = UniqueHandle<ImageListPolicy>;

// A COM interface pointer, released once.
template <typename Interface>
struct ComPolicy {
    using Handle = Interface*;
    static Handle invalid() { return nullptr; }
    static void close(Handle object) { object->Release(); }
};
template <typename Interface>
using UniqueCom = UniqueHandle<ComPolicy<Interface>>;

// DDE: the client instance, its string handles (freed in the instance that
// made them), conversations and the data handles of replies.
struct DdeInstancePolicy {
    using Handle = DWORD;
    static Handle invalid() { return 0; }
    static void close(Handle instance) { DdeUninitialize(instance); }
};
using UniqueDdeInstance = UniqueHandle<DdeInstancePolicy>;

struct DdeStringPolicy {
    using Handle = HSZ;
    DWORD instance = 0;
    static Handle invalid() { return nullptr; }
    void close(Handle text) const { DdeFreeStringHandle(instance, text); }
};
using UniqueDdeString = UniqueHandle<DdeStringPolicy>;

struct DdeConversationPolicy {
    using Handle = HCONV;
    static Handle invalid() { return nullptr; }
    static void close(Handle conversation) { DdeDisconnect(conversation); }
};
using UniqueConversation = UniqueHandle<DdeConversationPolicy>;

struct DdeDataPolicy {
    using Handle = HDDEDATA;
    static Handle invalid() { return nullptr; }
    static void close(Handle data) { DdeFreeDataHandle(data); }
};
using UniqueDdeData = UniqueHandle<DdeDataPolicy>;
