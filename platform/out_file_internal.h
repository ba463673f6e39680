#pragma once
// The parts of output files: what every platform shares (out_file_common.cpp) and the few calls
// each platform makes its own way (its out_file.cpp).
#include <cstddef>
#include <string>

namespace plat::outfile {

// "cannot write d/x.png: No space left on device"
std::string Failed(const std::string& what, const std::string& path, int err);
// Sets *error when the caller asked for it.
void SetError(std::string* error, const std::string& text);
// A fresh name beside `target` (".x.png.<pid>-<n>.tmp"), unique among this process's threads;
// the pid keeps other processes apart. `separators` end a folder's name on this platform.
std::string TemporaryName(const std::string& target, const char* separators, long long pid);

// Each platform's own calls under OutFile's Write, Commit and destructor. Those returning int
// give 0 or an errno value.
// Writes some of the bytes: how many, or -1 with errno set (an interrupted call is retried).
long long WriteSome(int fd, const unsigned char* data, size_t size);
// Puts the file's data on the disk.
int Sync(int fd);
int Close(int fd);
// Renames `from` over `to`, which may exist.
int Replace(const std::string& from, const std::string& to);
void Remove(const std::string& name);

}  // namespace plat::outfile
