#include "platform/file_map.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <string>

namespace plat {

namespace {

// Names reach us as UTF-8, as on the other platforms; a name that is not valid UTF-8 is taken in
// the ANSI code page, which is what narrow names mean to Windows programs.
std::wstring wideName(const char* path)
{
    for (const UINT page : {UINT{CP_UTF8}, UINT{CP_ACP}}) {
        const DWORD flags = page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int n = MultiByteToWideChar(page, flags, path, -1, nullptr, 0);
        if (n <= 0)
            continue;
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(page, flags, path, -1, wide.data(), n);
        wide.resize(static_cast<size_t>(n - 1));
        return wide;
    }
    return {};
}

}  // namespace

FileMap::FileMap(const char* path)
{
    if (!path || !*path)
        return;
    const std::wstring name = wideName(path);
    if (name.empty())
        return;
    // Others may read or even replace the file meanwhile, as they may on a POSIX system.
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER length{};
    // Only disk files can be mapped whole; an empty one has nothing to map.
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &length) && length.QuadPart > 0 &&
        static_cast<unsigned long long>(length.QuadPart) <= SIZE_MAX) {
        HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping) {
            if (void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
                data_ = static_cast<const unsigned char*>(view);
                size_ = static_cast<size_t>(length.QuadPart);
            }
            // The view keeps the mapping alive; the handles are no longer needed.
            CloseHandle(mapping);
        }
    }
    CloseHandle(file);
}

void FileMap::release()
{
    if (data_)
        UnmapViewOfFile(data_);
    data_ = nullptr;
    size_ = 0;
}

}  // namespace plat
