// The close policies of the window system's handles (see core/unique_handle.h;
// files and find handles: core/handles_win32.h, sockets: core/socket_handle.h).
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <ddeml.h>

#include "core/unique_handle.h"

using UniqueKey = UniqueHandle<ZeroInvalidPolicy<HKEY, RegCloseKey>>;

// Fonts, bitmaps, brushes, pens: each keeps its own type.
template <typename Object>
using GdiObjectPolicy = ZeroInvalidPolicy<Object, DeleteObject>;
using UniqueFont = UniqueHandle<GdiObjectPolicy<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectPolicy<HBITMAP>>;

using UniqueImageList = UniqueHandle<ZeroInvalidPolicy<HIMAGELIST, ImageList_Destroy>>;

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
using DdeInstancePolicy = ZeroInvalidPolicy<DWORD, DdeUninitialize>;
using UniqueDdeInstance = UniqueHandle<DdeInstancePolicy>;

struct DdeStringPolicy {
    using Handle = HSZ;
    DWORD instance = 0;
    static Handle invalid() { return nullptr; }
    void close(Handle text) const { DdeFreeStringHandle(instance, text); }
};
using UniqueDdeString = UniqueHandle<DdeStringPolicy>;

using UniqueConversation = UniqueHandle<ZeroInvalidPolicy<HCONV, DdeDisconnect>>;
using UniqueDdeData = UniqueHandle<ZeroInvalidPolicy<HDDEDATA, DdeFreeDataHandle>>;
