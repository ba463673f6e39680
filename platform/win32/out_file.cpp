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

#include <cerrno>
#include <climits>

#include "platform/file_map.h"
#include "platform/out_file_internal.h"
#include "platform/win32/wide_name.h"

namespace plat {

using outfile::Failed;
using outfile::SetError;

std::unique_ptr<OutFile> OutFile::Create(const std::string& path, std::string* error)
{
    if (path.empty() || path.back() == '/' || path.back() == '\\' || win32::WideName(path.c_str()).empty()) {
        SetError(error, "not a file name: " + path);
        return nullptr;
    }
    if (NonRegularKind(path.c_str())) {
        SetError(error, "refusing to write " + path + ": not a regular file");
        return nullptr;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = outfile::TemporaryName(path, "/\\", _getpid());
        const int fd = _wopen(win32::WideName(temp.c_str()).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                              _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            SetError(error, Failed("cannot create", path, errno));
            return nullptr;
        }
        return std::unique_ptr<OutFile>(new OutFile(fd, path, std::move(temp), path));
    }
    SetError(error, "cannot create a temporary file beside " + path);
    return nullptr;
}

namespace outfile {

long long WriteSome(int fd, const unsigned char* data, size_t size)
{
    return _write(fd, data, static_cast<unsigned>(size < INT_MAX ? size : INT_MAX));
}

int Sync(int fd) { return _commit(fd) == 0 ? 0 : errno; }

int Close(int fd) { return _close(fd) == 0 ? 0 : errno; }

int Replace(const std::string& from, const std::string& to)
{
    if (MoveFileExW(win32::WideName(from.c_str()).c_str(), win32::WideName(to.c_str()).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
}

void Remove(const std::string& name) { _wunlink(win32::WideName(name.c_str()).c_str()); }

}  // namespace outfile

bool IsTerminal(std::FILE* stream) { return stream && _isatty(_fileno(stream)) != 0; }

}  // namespace plat
