// Whole-file read and write over Win32 files.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "core/whole_file.h"

namespace {

struct FileHandle {
    HANDLE handle;
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
};

}  // namespace

bool read_whole_file(const char* path, char** text, uint32_t* size) {
    *text = nullptr;
    *size = 0;
    if (path[0] == '\0') return true;
    FileHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.handle == INVALID_HANDLE_VALUE) return false;
    DWORD length = GetFileSize(file.handle, nullptr);
    if (length == INVALID_FILE_SIZE || length == 0) return false;
    char* buffer = static_cast<char*>(malloc(length + 1));
    DWORD got = 0;
    if (!ReadFile(file.handle, buffer, length, &got, nullptr) || got != length) {
        free(buffer);
        return false;
    }
    buffer[length] = '\0';
    *text = buffer;
    *size = length;
    return true;
}

bool write_whole_file_pieces(const char* path, NextPieceFn next_piece, void* context) {
    std::string temporary = std::string(path) + ".tmp";
    bool ok = true;
    {
        FileHandle file(
            CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.handle == INVALID_HANDLE_VALUE) return false;
        size_t length;
        for (const char* piece; ok && (piece = next_piece(context, &length)) != nullptr;) {
            DWORD written = 0;
            ok = length <= MAXDWORD && WriteFile(file.handle, piece, static_cast<DWORD>(length), &written, nullptr) &&
                 written == length;
        }
        ok = ok && FlushFileBuffers(file.handle);
    }
    if (ok && MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
}
