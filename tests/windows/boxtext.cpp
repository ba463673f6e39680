// boxtext CAPTION: the texts of that top-level window (waited for up to 15 s) and of its children,
// one per line in UTF-8: what a message box says.
#define NOMINMAX
#define NOGDI
#include <windows.h>

#include <cstdio>

namespace {

void printText(HWND window)
{
    wchar_t text[512];
    const int n = GetWindowTextW(window, text, 512);
    char utf8[2048];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, n, utf8, sizeof utf8, nullptr, nullptr);
    std::fwrite(utf8, 1, static_cast<size_t>(bytes), stdout);
    std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    wchar_t caption[512];
    if (argc != 2 || !MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, caption, 512))
        return 2;
    for (int i = 0; i < 150; ++i) {
        if (HWND box = FindWindowW(nullptr, caption)) {
            printText(box);
            EnumChildWindows(box, [](HWND child, LPARAM) { return printText(child), TRUE; }, 0);
            return 0;
        }
        Sleep(100);
    }
    return 1;
}
