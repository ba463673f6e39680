// The platform-independent part of output files: the temporary's name, writing, committing and
// the texts of failures. Each platform's out_file.cpp creates the temporary and makes the calls.
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/out_file.h"
#include "platform/out_file_internal.h"

namespace plat {

namespace outfile {

std::string Failed(const std::string& what, const std::string& path, int err)
{
    return what + " " + path + ": " + std::strerror(err);
}

void SetError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

std::string TemporaryName(const std::string& target, const char* separators, long long pid)
{
    static std::atomic<unsigned> counter{0};
    const size_t slash = target.find_last_of(separators);
    const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    return dir + "." + base + "." + std::to_string(pid) + "-" + std::to_string(counter++) + ".tmp";
}

}  // namespace outfile

OutFile::OutFile(int fd, std::string target, std::string temp, std::string shown)
    : fd_(fd), target_(std::move(target)), temp_(std::move(temp)), shown_(std::move(shown))
{
}

OutFile::~OutFile()
{
    if (committed_)
        return;
    if (fd_ >= 0)
        outfile::Close(fd_);
    outfile::Remove(temp_);
}

bool OutFile::Write(const void* data, size_t size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0 && errno_ == 0) {
        const long long n = outfile::WriteSome(fd_, p, size);
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
    if (errno_ == 0)
        errno_ = outfile::Sync(fd_);
    const int closed = outfile::Close(fd_);
    if (errno_ == 0)
        errno_ = closed;
    fd_ = -1;
    if (errno_ == 0)
        errno_ = outfile::Replace(temp_, target_);
    if (errno_ != 0) {
        outfile::SetError(error, outfile::Failed("cannot write", shown_, errno_));
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

}  // namespace plat
