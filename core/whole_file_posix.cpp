// Whole-file read and write over POSIX files.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/unique_handle.h"
#include "core/whole_file.h"

namespace {

struct DescriptorPolicy {
    using Handle = int;
    static Handle invalid() { return -1; }
    static void close(Handle fd) { ::close(fd); }
};
using UniqueDescriptor = UniqueHandle<DescriptorPolicy>;

bool write_all(int fd, const char* bytes, size_t count) {
    while (count > 0) {
        ssize_t written = write(fd, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

// A buffer for a file's text and its terminator. Large files get their own
// huge-page-aligned block where the system offers huge pages: a 20 MB file
// otherwise costs thousands of page faults on first touch, which took longer
// than reading it.
char* allocate_text_buffer(uint32_t length) {
#ifdef MADV_HUGEPAGE
    const size_t kHugePage = 2 * 1024 * 1024;
    if (length >= kHugePage) {
        size_t size = (static_cast<size_t>(length) + kHugePage) & ~(kHugePage - 1);
        void* block = nullptr;
        if (posix_memalign(&block, kHugePage, size) != 0) return nullptr;
        madvise(block, size, MADV_HUGEPAGE);
        return static_cast<char*>(block);
    }
#endif
    return static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
}

}  // namespace

bool read_whole_file(const char* path, char** text, uint32_t* size) {
    *text = nullptr;
    *size = 0;
    if (path[0] == '\0') return true;
    UniqueDescriptor file(open(path, O_RDONLY));
    if (!file) return false;
    struct stat info;
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0 || info.st_size >= 0xFFFFFFFF) {
        return false;
    }
    uint32_t length = static_cast<uint32_t>(info.st_size);
    char* buffer = allocate_text_buffer(length);
    if (!buffer) return false;
    uint32_t done = 0;
    while (done < length) {
        ssize_t got = read(file.get(), buffer + done, length - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<uint32_t>(got);
    }
    if (done != length) {
        free(buffer);
        return false;
    }
    buffer[length] = '\0';
    *text = buffer;
    *size = length;
    return true;
}

namespace {

// The folder part of a path, with its separator ("." for a bare name).
std::string folder_of(const char* path) {
    const char* slash = strrchr(path, '/');
    return slash ? std::string(path, static_cast<size_t>(slash - path) + 1) : std::string("./");
}

// Creates an empty file with a new unique name in the folder of `path`.
int create_unique_beside(const char* path, std::string* name) {
    *name = folder_of(path) + "lkXXXXXX.tmp";
    return mkstemps(&(*name)[0], 4);
}

// The permissions the file at `path` has, or those a new file would get.
mode_t file_mode(const char* path) {
    struct stat info;
    if (stat(path, &info) == 0) return info.st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool write_pieces(int fd, NextPieceFn next_piece, void* context) {
    size_t length;
    for (const char* piece; (piece = next_piece(context, &length)) != nullptr;) {
        if (file_step_fails(FILE_STEP_WRITE) || !write_all(fd, piece, length)) return false;
    }
    return true;
}

}  // namespace

char* write_file_beside(const char* path, NextPieceFn next_piece, void* context) {
    std::string name;
    UniqueDescriptor file(create_unique_beside(path, &name));
    if (!file) return nullptr;
    bool written = fchmod(file.get(), file_mode(path)) == 0 && write_pieces(file.get(), next_piece, context);
    written = written && !file_step_fails(FILE_STEP_FLUSH) && fsync(file.get()) == 0;
    // The close's answer is the write's last check (a full disk may tell only then).
    written = (close(file.release()) == 0) && written;
    if (!written) {
        unlink(name.c_str());
        return nullptr;
    }
    return strdup(name.c_str());
}

bool replace_file(const char* path, const char* replacement, const char* backup) {
    // rename() replaces the file at once: without a backup nothing moves first.
    if (!backup || !file_exists(path)) return !file_step_fails(FILE_STEP_MOVE_IN) && rename(replacement, path) == 0;
    if (file_step_fails(FILE_STEP_ROTATE) || rename(path, backup) != 0) return false;
    if (!file_step_fails(FILE_STEP_MOVE_IN) && rename(replacement, path) == 0) return true;
    rename(backup, path);
    return false;
}

bool move_aside(const char* path, char** aside) {
    *aside = nullptr;
    if (!file_exists(path)) return true;
    std::string name;
    if (!UniqueDescriptor(create_unique_beside(path, &name))) return false;
    if (rename(path, name.c_str()) != 0) {
        unlink(name.c_str());
        return false;
    }
    *aside = strdup(name.c_str());
    return true;
}

bool file_exists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && !S_ISDIR(info.st_mode);
}

bool remove_file(const char* path) { return unlink(path) == 0; }
