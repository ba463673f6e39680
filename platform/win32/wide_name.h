#pragma once
// File names for Win32's wide calls.
#include <string>

namespace plat::win32 {

// A narrow name as UTF-16: UTF-8 where it is valid UTF-8, as std::filesystem spells names here
// and as on the other platforms; anything else in the ANSI code page, as fopen takes it. Empty
// for an empty or null name.
std::wstring WideName(const char* path);

}  // namespace plat::win32
