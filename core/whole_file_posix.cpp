// Whole-file read and write over POSIX files.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/whole_file.h"

namespace {

struct FileDescriptor {
    int fd;
    explicit FileDescriptor(int f) : fd(f) {}
    ~FileDescriptor() {
        if (fd >= 0) close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
};

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
    FileDescriptor file(open(path, O_RDONLY));
    if (file.fd < 0) return false;
    struct stat info;
    if (fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0 || info.st_size >= 0xFFFFFFFF) {
        return false;
    }
    uint32_t length = static_cast<uint32_t>(info.st_size);
    char* buffer = allocate_text_buffer(length);
    if (!buffer) return false;
    uint32_t done = 0;
    while (done < length) {
        ssize_t got = read(file.fd, buffer + done, length - done);
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

bool write_whole_file_pieces(const char* path, NextPieceFn next_piece, void* context) {
    std::string temporary = std::string(path) + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool written = true;
    size_t length;
    for (const char* piece; written && (piece = next_piece(context, &length)) != nullptr;) {
        written = write_all(fd, piece, length);
    }
    written = written && fsync(fd) == 0;
    written = (close(fd) == 0) && written;
    if (written && rename(temporary.c_str(), path) == 0) return true;
    unlink(temporary.c_str());
    return false;
}
