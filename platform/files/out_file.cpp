#include "platform/out_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

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

// Unique among this process's threads; the pid keeps other processes apart.
std::string temporaryName(const std::string& target)
{
    static std::atomic<unsigned> counter{0};
    const size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    return dir + "." + base + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

}  // namespace

OutFile::OutFile(int fd, std::string target, std::string temp, std::string shown)
    : fd_(fd), target_(std::move(target)), temp_(std::move(temp)), shown_(std::move(shown))
{
}

std::unique_ptr<OutFile> OutFile::Create(const std::string& path, std::string* error)
{
    if (path.empty() || path.back() == '/') {
        setError(error, "not a file name: " + path);
        return nullptr;
    }
    std::string target = path;
    mode_t mode = 0666;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(path.c_str(), resolved)) {
            setError(error, failed("cannot follow the link", path, errno));
            return nullptr;
        }
        target = resolved;
    }
    if (::stat(target.c_str(), &st) == 0) {
        // Renaming over a device or a pipe would remove the node; writing into one may block or
        // fail half-way. Neither is an output file.
        if (!S_ISREG(st.st_mode)) {
            setError(error, "refusing to write " + path + ": not a regular file");
            return nullptr;
        }
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        setError(error, failed("cannot write", path, errno));
        return nullptr;
    }

    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = temporaryName(target);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            setError(error, failed("cannot create", path, errno));
            return nullptr;
        }
        // A replacement keeps the permissions of the file it replaces; a new file gets the
        // umask's, as open gave it.
        if (mode != 0666)
            (void)::fchmod(fd, mode);
        return std::unique_ptr<OutFile>(new OutFile(fd, std::move(target), std::move(temp), path));
    }
    setError(error, "cannot create a temporary file beside " + path);
    return nullptr;
}

OutFile::~OutFile()
{
    if (committed_)
        return;
    if (fd_ >= 0)
        ::close(fd_);
    ::unlink(temp_.c_str());
}

bool OutFile::Write(const void* data, size_t size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0 && errno_ == 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
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
    // The data must be on disk before the name points at it, or a crash could leave an empty
    // file where the old one was.
    if (errno_ == 0 && ::fsync(fd_) != 0)
        errno_ = errno;
    if (::close(fd_) != 0 && errno_ == 0)
        errno_ = errno;
    fd_ = -1;
    if (errno_ == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0)
        errno_ = errno;
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

bool IsTerminal(std::FILE* stream)
{
    return stream && ::isatty(::fileno(stream)) == 1;
}

}  // namespace plat
