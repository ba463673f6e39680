// Output files on Windows: the same temporary-then-rename scheme as on POSIX systems, through the
// C runtime's descriptors and a rename that replaces its target. Windows has no FIFOs and no file
// modes to keep; a device name ("NUL", "COM1") or a folder is refused as on Linux.
#include "platform/out_file.h"

#define WIN32_LEAN_AND_MEAN
#define NOGDI
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/file_map.h"
#include "platform/win32/wide_name.h"

namespace plat {

namespace {

std::string failed(const std::string& what, const std::string& path, int err)
{
    return what + " " + path + ": " + std::strerror(err);
}

void setError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

}  // namespace

OutFile::OutFile(int fd, std::string target, std::string temp, std::string shown)
    : fd_(fd), target_(std::move(target)), temp_(std::move(temp)), shown_(std::move(shown))
{
}

std::unique_ptr<OutFile> OutFile::Create(const std::string& path, std::string* error)
{
    if (path.empty() || path.back() == '/' || path.back() == '\\' || win32::WideName(path.c_str()).empty()) {
        setError(error, "not a file name: " + path);
        return nullptr;
    }
    if (NonRegularKind(path.c_str())) {
        setError(error, "refusing to write " + path + ": not a regular file");
        return nullptr;
    }
    static std::atomic<unsigned> counter{0};
    const size_t slash = path.find_last_of("/\\");
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = dir + "." + base + "." + std::to_string(_getpid()) + "-" + std::to_string(counter++) + ".tmp";
        const int fd = _wopen(win32::WideName(temp.c_str()).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                              _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            setError(error, failed("cannot create", path, errno));
            return nullptr;
        }
        return std::unique_ptr<OutFile>(new OutFile(fd, path, std::move(temp), path));
    }
    setError(error, "cannot create a temporary file beside " + path);
    return nullptr;
}

OutFile::~OutFile()
{
    if (committed_)
        return;
    if (fd_ >= 0)
        _close(fd_);
    _wunlink(win32::WideName(temp_.c_str()).c_str());
}

bool OutFile::Write(const void* data, size_t size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0 && errno_ == 0) {
        const int n = _write(fd_, p, static_cast<unsigned>(size < INT_MAX ? size : INT_MAX));
        if (n <= 0) {
            errno_ = n < 0 ? errno : EIO;
            break;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return errno_ == 0;
}

bool OutFile::Commit(std::string* error)
{
    if (committed_)
        return true;
    // On disk before the name points at it, as on Linux.
    if (errno_ == 0 && _commit(fd_) != 0)
        errno_ = errno;
    if (_close(fd_) != 0 && errno_ == 0)
        errno_ = errno;
    fd_ = -1;
    if (errno_ == 0 && !MoveFileExW(win32::WideName(temp_.c_str()).c_str(), win32::WideName(target_.c_str()).c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        errno_ = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    if (errno_ != 0) {
        setError(error, failed("cannot write", shown_, errno_));
        return false;
    }
    committed_ = true;
    return true;
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size, std::string* error)
{
    const auto file = OutFile::Create(path, error);
    if (!file)
        return false;
    file->Write(data, size);  // a failure here is reported by Commit
    return file->Commit(error);
}

bool IsTerminal(std::FILE* stream) { return stream && _isatty(_fileno(stream)) != 0; }

}  // namespace plat
