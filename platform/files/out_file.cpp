#include "platform/out_file.h"
#include "platform/out_file_internal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace plat {

using outfile::Failed;
using outfile::SetError;

std::unique_ptr<OutFile> OutFile::Create(const std::string& path, std::string* error)
{
    if (path.empty() || path.back() == '/') {
        SetError(error, "not a file name: " + path);
        return nullptr;
    }
    std::string target = path;
    mode_t mode = 0666;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(path.c_str(), resolved)) {
            SetError(error, Failed("cannot follow the link", path, errno));
            return nullptr;
        }
        target = resolved;
    }
    if (::stat(target.c_str(), &st) == 0) {
        // Renaming over a device or a pipe would remove the node; writing into one may block or
        // fail half-way. Neither is an output file.
        if (!S_ISREG(st.st_mode)) {
            SetError(error, "refusing to write " + path + ": not a regular file");
            return nullptr;
        }
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        SetError(error, Failed("cannot write", path, errno));
        return nullptr;
    }

    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = outfile::TemporaryName(target, "/", ::getpid());
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            SetError(error, Failed("cannot create", path, errno));
            return nullptr;
        }
        // A replacement keeps the permissions of the file it replaces; a new file gets the
        // umask's, as open gave it.
        if (mode != 0666)
            (void)::fchmod(fd, mode);
        return std::unique_ptr<OutFile>(new OutFile(fd, std::move(target), std::move(temp), path));
    }
    SetError(error, "cannot create a temporary file beside " + path);
    return nullptr;
}

namespace outfile {

long long WriteSome(int fd, const unsigned char* data, size_t size)
{
    ssize_t n;
    do
        n = ::write(fd, data, size);
    while (n < 0 && errno == EINTR);
    return n;
}

int Sync(int fd) { return ::fsync(fd) == 0 ? 0 : errno; }

int Close(int fd) { return ::close(fd) == 0 ? 0 : errno; }

int Replace(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void Remove(const std::string& name) { ::unlink(name.c_str()); }

}  // namespace outfile

bool IsTerminal(std::FILE* stream)
{
    return stream && ::isatty(::fileno(stream)) == 1;
}

}  // namespace plat
