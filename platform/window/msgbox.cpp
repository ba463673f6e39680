// Message boxes over SDL2's, and the text conversion they need.
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/window/internal.h"

namespace plat::detail {

std::string utf8FromWindows1252(const char* text)
{
    // 0x80-0x9F are the code page's own; the five it leaves unassigned keep their C1 value.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    if (!text)
        return out;
    for (const char* c = text; *c; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        const char16_t code = byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : byte;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

namespace {

// Well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isUtf8(const unsigned char* s)
{
    while (*s) {
        const unsigned lead = *s++;
        if (lead < 0x80)
            continue;
        int more = 0;
        unsigned low = 0x80, high = 0xBF;  // the range of the byte after the lead
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        for (int i = 0; i < more; ++i, ++s, low = 0x80, high = 0xBF)
            if (*s < low || *s > high)
                return false;
    }
    return true;
}

}  // namespace

std::string textForDisplay(const char* text)
{
    if (text && isUtf8(reinterpret_cast<const unsigned char*>(text)))
        return text;
    return utf8FromWindows1252(text);
}

}  // namespace plat::detail

namespace plat {

int MessageBox(HWND owner, const char* text, const char* caption, uint32_t style)
{
    const std::string utf8Text = detail::textForDisplay(text);
    const std::string utf8Caption = detail::textForDisplay(caption);
    const bool question = (style & 0x0F) == MB_YESNO;

    // Return answers Yes (or OK), Escape answers No (or OK).
    const SDL_MessageBoxButtonData yesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
    };
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"},
    };
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (style & 0xF0) {
    case MB_ICONSTOP: flags |= SDL_MESSAGEBOX_ERROR; break;
    case MB_ICONEXCLAMATION: flags |= SDL_MESSAGEBOX_WARNING; break;
    default: flags |= SDL_MESSAGEBOX_INFORMATION; break;
    }
    const Window* window = detail::findWindow(owner);
    const SDL_MessageBoxData data{flags,
                                  window ? window->sdl : nullptr,
                                  utf8Caption.c_str(),
                                  utf8Text.c_str(),
                                  question ? 2 : 1,
                                  question ? yesNo : ok,
                                  nullptr};
    // A box that could not be put up on a busy X server gets a second try.
    const char* display = std::getenv("DISPLAY");
    const int tries = display && *display ? 2 : 1;
    const detail::BoxWait wait;
    for (int attempt = 0; attempt < tries; ++attempt) {
        int pressed = -1;
        if (SDL_ShowMessageBox(&data, &pressed) == 0)
            return pressed >= 0 ? pressed : (question ? IDNO : IDOK);  // closed without a button: Escape's answer
    }

    // No display to show it on: the message still reaches the user, and the default is taken.
    // In the demo the first one says why its boxes come as text.
    static bool toldNoDisplay = false;
    if (detail::showsBoxes() && !std::exchange(toldNoDisplay, true))
        std::fprintf(stderr, "No display was found: the messages that follow are shown as text.\n");
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
    return question ? IDYES : IDOK;
}

}  // namespace plat
