#include "platform/file_map.h"

#define WIN32_LEAN_AND_MEAN
#define NOGDI
#include <windows.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>

namespace plat {

namespace {

// Maps the whole file read-only; an empty view for anything else.
std::pair<const unsigned char*, size_t> mapWhole(const wchar_t* name)
{
    std::pair<const unsigned char*, size_t> view{nullptr, 0};
    // Others may read or even replace the file meanwhile, as they may on a POSIX system.
    HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return view;
    LARGE_INTEGER length{};
    // Only disk files can be mapped whole; an empty one has nothing to map.
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &length) && length.QuadPart > 0 &&
        static_cast<unsigned long long>(length.QuadPart) <= SIZE_MAX) {
        if (HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr)) {
            if (void* data = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0))
                view = {static_cast<const unsigned char*>(data), static_cast<size_t>(length.QuadPart)};
            // The view keeps the mapping alive; the handles are no longer needed.
            CloseHandle(mapping);
        }
    }
    CloseHandle(file);
    return view;
}

}  // namespace

// Narrow names are UTF-8 where they are valid UTF-8, as std::filesystem spells them here and as
// on the other platforms; anything else is in the ANSI code page, as fopen takes it.
FileMap::FileMap(const char* path)
{
    if (!path || !*path)
        return;
    for (const UINT page : {UINT{CP_UTF8}, UINT{CP_ACP}}) {
        const DWORD flags = page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int n = MultiByteToWideChar(page, flags, path, -1, nullptr, 0);
        if (n <= 0)
            continue;
        std::wstring name(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(page, flags, path, -1, name.data(), n);
        std::tie(data_, size_) = mapWhole(name.c_str());
        return;
    }
}

// wchar_t is UTF-16 on Windows: the name goes to the system as it is.
FileMap::FileMap(const char16_t* path)
{
    if (path)
        std::tie(data_, size_) = mapWhole(reinterpret_cast<const wchar_t*>(path));
}

void FileMap::release()
{
    if (data_)
        UnmapViewOfFile(data_);
    data_ = nullptr;
    size_ = 0;
}

}  // namespace plat
