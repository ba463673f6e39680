#pragma once
// The decoder behind loadDibImage, for callers that already hold the file's bytes.
#include <cstddef>
#include <cstdint>

#include "image/dib.h"

namespace dib {

// Message texts, shown as they stand.
inline constexpr const char kMsgOutOfMemory[] = "Out of memory.";
inline constexpr const char kMsgUnknownFormat[] = "Unknown DIB file format.";
inline constexpr const char kMsgConversion[] = "Image file conversion error.";
inline constexpr const char kMsgTruncated[] = "Truncated DIB file.";
inline constexpr const char kMsgColourTable[] = "DIB colour table lies outside the file.";
inline constexpr const char kMsgBitsOffset[] = "DIB bits offset lies outside the file.";
inline constexpr const char kMsgCompression[] = "DIB compression does not fit its bit count.";
inline constexpr const char kMsgTopDownRle[] = "Run-length encoded DIB files cannot be top-down.";
inline constexpr const char kMsgMasks[] = "Invalid DIB bit-field masks.";
inline constexpr const char kMsgDimensions[] = "Invalid DIB width or height.";
inline constexpr const char kMsgTooLarge[] = "DIB image too large.";
inline constexpr const char kMsgOverLimit[] = "DIB image is wider or higher than the largest texture.";
inline constexpr const char kMsgBitsInside[] = "DIB bits offset points into its headers or colour table.";
inline constexpr const char kMsgNoColours[] = "DIB colour table holds no colours.";
inline constexpr const char kMsgColourCount[] = "DIB colours-used count does not fit its colour table.";

// Largest accepted width or height, and largest output buffer.
inline constexpr int32_t kMaxSide = 32768;
inline constexpr size_t kMaxPixelBytes = size_t{1} << 30;

struct DecodeResult {
    ImageRecord* record;  // owned by the caller; null on failure
    const char* error;    // one of the texts above; null on success
};

// Decodes a whole BMP file or packed DIB held in memory. Never reads outside [data, data + size).
// A width or height beyond maxSide (the caller's largest texture, say) is refused before any
// pixel is decoded.
DecodeResult decode(const unsigned char* data, size_t size, int32_t maxSide = kMaxSide);

}  // namespace dib
