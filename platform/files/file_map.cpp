#include "platform/file_map.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>


namespace plat {

namespace {

// O_NONBLOCK keeps a FIFO (or a device) from holding the open; O_NOCTTY keeps a terminal from
// becoming ours.
int openForReading(const char* path) { return ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY); }

}  // namespace

const char* NonRegularKind(const char* path)
{
    struct stat st {};
    if (!path || ::stat(path, &st) != 0 || S_ISREG(st.st_mode))
        return nullptr;
    if (S_ISDIR(st.st_mode))
        return "a directory";
    if (S_ISFIFO(st.st_mode))
        return "a FIFO";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return "a device";
    if (S_ISSOCK(st.st_mode))
        return "a socket";
    return "something else";
}

bool CanOpenForReading(const char* path)
{
    const int fd = path ? openForReading(path) : -1;
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

FileMap::FileMap(const char* path)
{
    if (!path || NonRegularKind(path))
        return;
    const int fd = openForReading(path);
    if (fd < 0)
        return;
    struct stat st {};
    // Only regular files can be mapped whole; an empty one has nothing to map.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        const size_t length = static_cast<size_t>(st.st_size);
        void* view = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
        if (view != MAP_FAILED) {
            data_ = static_cast<const unsigned char*>(view);
            size_ = length;
        }
    }
    // The mapping keeps the file's pages reachable; the descriptor is no longer needed.
    ::close(fd);
}

// Names on this system are bytes, by convention UTF-8. A name that is not UTF-16 at all (a lone
// surrogate) names no file.
FileMap::FileMap(const char16_t* path)
{
    if (!path)
        return;
    std::string name;
    try {
        name = std::filesystem::path(path).string();
    } catch (const std::exception&) {
        return;
    }
    *this = FileMap(name.c_str());
}

void FileMap::release()
{
    if (data_)
        ::munmap(const_cast<unsigned char*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

}  // namespace plat
