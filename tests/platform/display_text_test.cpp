#include <gtest/gtest.h>

#include <string>

#include "platform/window/internal.h"

namespace {

// Box texts and titles: UTF-8 from a file name stays as it is; the program's own Windows-1252
// texts, and anything else that is not well-formed UTF-8, are converted.
TEST(DisplayText, PassesUtf8AndConvertsWindows1252)
{
    const struct { const char* in; std::string out; } cases[] = {
        {"Failed to open DIB file gr\xC3\xB6n.bmp", "Failed to open DIB file gr\xC3\xB6n.bmp"},
        {"\xE2\x82\xAC \xF0\x9F\x90\x84", "\xE2\x82\xAC \xF0\x9F\x90\x84"},
        {"FEEL n\xE4r Fmod skulle startas", "FEEL n\xC3\xA4r Fmod skulle startas"},
        {"gr\xC3", "gr\xC3\x83"},                          // cut short
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                  // overlong
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // a surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // above U+10FFFF
        {nullptr, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plat::detail::textForDisplay(c.in), c.out) << (c.in ? c.in : "(null)");
}

}  // namespace
