// Whole-file read and write over Win32 files.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/handles_win32.h"
#include "core/whole_file.h"

bool read_whole_file(const char* path, char** text, uint32_t* size) {
    *text = nullptr;
    *size = 0;
    if (path[0] == '\0') return true;
    // Sharing writing and deleting: browsers replace the files read here
    // while they run (and keep their databases open for writing), and a save
    // of theirs fails while another program holds the file without sharing.
    UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    DWORD length = GetFileSize(file.get(), nullptr);
    if (length == INVALID_FILE_SIZE || length == 0) return false;
    char* buffer = static_cast<char*>(malloc(length + 1));
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, length, &got, nullptr) || got != length) {
        free(buffer);
        return false;
    }
    buffer[length] = '\0';
    *text = buffer;
    *size = length;
    return true;
}

namespace {

const DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

// Creates an empty file with a new unique name ("lkXXXX.tmp") in the folder of `path`.
bool create_unique_beside(const char* path, char name[MAX_PATH]) {
    const char* name_start = path;
    for (const char* p = path; *p; p++) {
        if (*p == '\\' || *p == '/' || *p == ':') name_start = p + 1;
    }
    std::string folder(path, static_cast<size_t>(name_start - path));
    if (folder.empty()) folder = ".";
    // Some systems answer with a name even when they could not make the file.
    return GetTempFileNameA(folder.c_str(), "lk", 0, name) != 0 && file_exists(name);
}

bool write_pieces(HANDLE file, NextPieceFn next_piece, void* context) {
    size_t length;
    for (const char* piece; (piece = next_piece(context, &length)) != nullptr;) {
        DWORD written = 0;
        if (file_step_fails(FILE_STEP_WRITE) || length > MAXDWORD ||
            !WriteFile(file, piece, static_cast<DWORD>(length), &written, nullptr) || written != length) {
            return false;
        }
    }
    return true;
}

// ReplaceFile moves the old file to the backup name, then the new file in;
// when the second move fails, the old file is left under the backup name.
// The seam fails it at either point as the call itself reports it.
bool replace_keeping_backup(const char* path, const char* replacement, const char* backup) {
    if (file_step_fails(FILE_STEP_ROTATE)) return false;
    if (file_step_fails(FILE_STEP_MOVE_IN)) {
        MoveFileExA(path, backup, kMoveFlags);
        return false;
    }
    return ReplaceFileA(path, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE;
}

}  // namespace

char* write_file_beside(const char* path, NextPieceFn next_piece, void* context) {
    char name[MAX_PATH];
    if (!create_unique_beside(path, name)) return nullptr;
    bool written;
    {
        UniqueFile file(
            CreateFileA(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && write_pieces(file.get(), next_piece, context) && !file_step_fails(FILE_STEP_FLUSH) &&
                  FlushFileBuffers(file.get());
    }
    if (!written) {
        DeleteFileA(name);
        return nullptr;
    }
    return _strdup(name);
}

bool replace_file(const char* path, const char* replacement, const char* backup) {
    if (!file_exists(path)) return !file_step_fails(FILE_STEP_MOVE_IN) && MoveFileExA(replacement, path, kMoveFlags);
    // Without a backup name ReplaceFile may delete the old file and still fail
    // to move the new one in: it always gets one, a temporary one if need be.
    char own_backup[MAX_PATH] = "";
    if (!backup) {
        if (!create_unique_beside(path, own_backup)) return false;
        backup = own_backup;
    }
    bool replaced = replace_keeping_backup(path, replacement, backup);
    if (!replaced && !file_exists(path)) MoveFileExA(backup, path, kMoveFlags);
    // The old file goes only once it is no longer the one at `path` or under the backup name.
    if (own_backup[0] && (replaced || file_exists(path))) DeleteFileA(own_backup);
    return replaced;
}

bool move_aside(const char* path, char** aside) {
    *aside = nullptr;
    if (!file_exists(path)) return true;
    char name[MAX_PATH];
    if (!create_unique_beside(path, name)) return false;
    if (!MoveFileExA(path, name, kMoveFlags)) {
        DeleteFileA(name);
        return false;
    }
    *aside = _strdup(name);
    return true;
}

bool file_exists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool remove_file(const char* path) { return DeleteFileA(path) != FALSE; }
