#pragma once
// Output files that never destroy anything: the bytes go to a temporary file in the target's
// folder, which is synced and renamed over the target only once it is complete. A failure (a
// full disk, a signal, a crash) leaves the target as it was and removes the temporary.
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace plat {

class OutFile {
public:
    // Starts writing `path`. Null, with the reason in *error, when its folder cannot take the
    // temporary or `path` names something that is not a regular file (a device, a pipe, a
    // folder): those are refused, never written through or removed. A symbolic link is
    // followed: the file it points to is replaced, the link stays.
    static std::unique_ptr<OutFile> Create(const std::string& path, std::string* error);
    // Removes the temporary unless Commit succeeded.
    ~OutFile();
    OutFile(const OutFile&) = delete;
    OutFile& operator=(const OutFile&) = delete;

    // False from the first failure on; Commit then reports it.
    bool Write(const void* data, size_t size);
    // Syncs, closes and renames the temporary into place. False with the reason, the file's
    // name in it ("cannot write d/x.png: No space left on device").
    bool Commit(std::string* error);

private:
    OutFile(int fd, std::string target, std::string temp, std::string shown);

    int fd_;
    int errno_ = 0;
    bool committed_ = false;
    std::string target_, temp_, shown_;
};

// The whole of `size` bytes as the file `path`, through an OutFile.
bool WriteWholeFile(const std::string& path, const void* data, size_t size, std::string* error);

// True when the stream is a terminal (progress lines are for people, not for logs).
bool IsTerminal(std::FILE* stream);

}  // namespace plat
