#pragma once
// A read-only view of a whole file, mapped into memory and released with the object.
#include <cstddef>

namespace plat {

class FileMap {
public:
    FileMap() = default;
    // Opens and maps the file. An empty file, a directory or any failure leaves the map empty.
    explicit FileMap(const char* path);
    ~FileMap();

    FileMap(FileMap&& other) noexcept;
    FileMap& operator=(FileMap&& other) noexcept;
    FileMap(const FileMap&) = delete;
    FileMap& operator=(const FileMap&) = delete;

    bool ok() const { return data_ != nullptr; }
    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    void release();

    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace plat
