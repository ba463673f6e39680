#include "platform/file_map.h"
#include "platform/win32/wide_name.h"

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

namespace win32 {

std::wstring WideName(const char* path)
{
    if (!path || !*path)
        return {};
    for (const UINT page : {UINT{CP_UTF8}, UINT{CP_ACP}}) {
        const DWORD flags = page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int n = MultiByteToWideChar(page, flags, path, -1, nullptr, 0);
        if (n <= 0)
            continue;
        std::wstring name(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(page, flags, path, -1, name.data(), n);
        name.pop_back();
        return name;
    }
    return {};
}

}  // namespace win32

const char* NonRegularKind(const char* path)
{
    const std::wstring name = win32::WideName(path);
    const DWORD attributes = name.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return "a directory";
    // Opened for no access at all, a device or a pipe only tells what it is.
    HANDLE file = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    const DWORD type = GetFileType(file);
    CloseHandle(file);
    if (type == FILE_TYPE_DISK)
        return nullptr;
    return type == FILE_TYPE_PIPE ? "a FIFO" : type == FILE_TYPE_CHAR ? "a device" : "something else";
}

bool CanOpenForReading(const char* path)
{
    const std::wstring name = win32::WideName(path);
    if (name.empty())
        return false;
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

FileMap::FileMap(const char* path)
{
    const std::wstring name = win32::WideName(path);
    if (!name.empty())
        std::tie(data_, size_) = mapWhole(name.c_str());
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
