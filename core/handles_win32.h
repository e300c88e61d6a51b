// The close policies of the kernel's handles, for the Windows-only files of
// the portable libraries (the whole-file reads and writes, the Favorites walk)
// and everything above them. The window system's handles: platform/handles.h.
#pragma once

#include <windows.h>

#include "core/unique_handle.h"

// Files and searches are INVALID_HANDLE_VALUE when none.
template <auto Close>
struct KernelHandlePolicy {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle handle) { Close(handle); }
};
using FilePolicy = KernelHandlePolicy<CloseHandle>;
using UniqueFile = UniqueHandle<FilePolicy>;
using FindPolicy = KernelHandlePolicy<FindClose>;
using UniqueFind = UniqueHandle<FindPolicy>;

// Processes, threads, events: the kernel's other objects, which are null when none.
using KernelObjectPolicy = ZeroInvalidPolicy<HANDLE, CloseHandle>;
using UniqueKernelObject = UniqueHandle<KernelObjectPolicy>;
