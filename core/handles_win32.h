// The close policies of the kernel's handles, for the Windows-only files of
// the portable libraries (the whole-file reads and writes, the Favorites walk)
// and everything above them. The window system's handles: platform/handles.h.
#pragma once

#include <windows.h>

#include "core/unique_handle.h"

struct FilePolicy {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle file) { CloseHandle(file); }
};
using UniqueFile = UniqueHandle<FilePolicy>;

// Processes, threads, events: the kernel's other objects, which are null when none.
struct KernelObjectPolicy {
    using Handle = HANDLE;
    static Handle invalid() { return nullptr; }
    static void close(Handle object) { CloseHandle(object); }
};
using UniqueKernelObject = UniqueHandle<KernelObjectPolicy>;

struct FindPolicy {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle search) { FindClose(search); }
};
using UniqueFind = UniqueHandle<FindPolicy>;
