#pragma once
// A read-only view of a whole file, mapped into memory and released with the object, and the
// checks that keep every reader to regular files: a FIFO or a device named like an input must
// never stall or disturb the program.
#include <cstddef>
#include <utility>

namespace plat {

// What the path names when it exists but is not a regular file ("a FIFO", "a directory", ...);
// null for a regular file or a path that cannot be looked at. Never opens the path.
const char* NonRegularKind(const char* path);

// Whether the path opens for reading. The open never blocks, so a FIFO answers at once.
bool CanOpenForReading(const char* path);

class FileMap {
public:
    FileMap() = default;
    // Opens and maps the file. An empty file, anything but a regular file or any failure leaves
    // the map empty; the open never blocks. A narrow name is UTF-8 by convention (on Windows, one
    // that is not valid UTF-8 is taken in the ANSI code page); a UTF-16 name is opened as the same
    // Unicode name everywhere.
    explicit FileMap(const char* path);
    explicit FileMap(const char16_t* path);
    ~FileMap() { release(); }

    FileMap(FileMap&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
    {
    }
    FileMap& operator=(FileMap&& other) noexcept
    {
        if (this != &other) {
            release();
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    FileMap(const FileMap&) = delete;
    FileMap& operator=(const FileMap&) = delete;

    bool ok() const { return data_ != nullptr; }
    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    void release();  // each platform's own: unmaps the view

    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace plat
