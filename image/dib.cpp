#include "image/dib.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "image/dib_decode.h"
#include "platform/file_map.h"
#include "platform/msgbox.h"

namespace {

bool showErrorBoxes = true;

void show(const char* text)
{
    if (showErrorBoxes)
        plat::MessageBox(plat::GetFocus(), text, "Error", plat::MB_OK);
}

// Reads one code point from a UTF-16 string; a lone surrogate becomes U+FFFD.
char32_t nextCodePoint(const char16_t*& s)
{
    const char32_t c = *s++;
    if (c >= 0xD800 && c < 0xDC00 && *s >= 0xDC00 && *s < 0xE000)
        return 0x10000 + ((c - 0xD800) << 10) + (*s++ - 0xDC00);
    if (c >= 0xD800 && c < 0xE000)
        return 0xFFFD;
    return c;
}

// Message texts are Windows-1252; characters it lacks are shown as '?'.
std::string toMessageText(const char16_t* name)
{
    // 0x80..0x9F of Windows-1252, by code point.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    while (*name) {
        const char32_t c = nextCodePoint(name);
        char byte = '?';
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            byte = char(c);
        }
        else {
            for (int i = 0; i < 32; ++i)
                if (kHigh[i] != 0 && kHigh[i] == c)
                    byte = char(0x80 + i);
        }
        out += byte;
    }
    return out;
}

// The decoder's own refusals name the file: with several inputs, a text alone cannot tell
// which one is bad. The three texts the loader has always shown stay as they are.
std::string refusalText(const char* error, const char* displayName, int32_t maxSide)
{
    if (error == dib::kMsgOutOfMemory || error == dib::kMsgUnknownFormat || error == dib::kMsgConversion)
        return error;
    std::string text = std::string(displayName) + ": " + error;
    if (error == dib::kMsgOverLimit)
        text += " The largest is " + std::to_string(maxSide) + " x " + std::to_string(maxSide) + ".";
    return text;
}

ImageRecord* load(const plat::FileMap& file, const char* displayName, int32_t maxSide)
{
    if (!file.ok()) {
        // Cut to the 256-character buffer the message has always had.
        char message[256];
        std::snprintf(message, sizeof message, "Failed to open DIB file %s.\n", displayName);
        show(message);
        return nullptr;
    }
    const dib::DecodeResult result = dib::decode(file.data(), file.size(), maxSide);
    if (result.error)
        show(refusalText(result.error, displayName, maxSide).c_str());
    return result.record;
}

ImageRecord* load(const char* path, int32_t maxSide)
{
    const char* shown = path ? path : "";
    // Only regular files are read: anything else is named for what it is, never opened.
    if (const char* kind = plat::NonRegularKind(path)) {
        show((std::string(shown) + ": " + kind + ", not a regular file.").c_str());
        return nullptr;
    }
    return load(plat::FileMap(path), shown, maxSide);
}

}  // namespace

ImageRecord* loadDibImage(const char* fileName)
{
    return load(fileName, dib::kMaxSide);
}

ImageRecord* loadDibImage(const char* fileName, int32_t maxSide)
{
    return load(fileName, std::min(maxSide, dib::kMaxSide));
}

ImageRecord* loadDibImageWide(const char16_t* fileName)
{
    static constexpr char16_t kEmpty[] = u"";
    if (!fileName)
        fileName = kEmpty;
    const std::string shown = toMessageText(fileName);
    // The map refuses anything but a regular file by itself.
    return load(plat::FileMap(fileName), shown.c_str(), dib::kMaxSide);
}

void setShowErrorBoxes(bool show) { showErrorBoxes = show; }
