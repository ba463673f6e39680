#pragma once
// The DIB (BMP) image loader: any Windows bitmap file in, 8-bit RGB rows out.
#include <cstdint>

// A decoded image: width x height pixels of 3 bytes (red, green, blue), or 4 (red, green, blue,
// alpha) once a texture has added its alpha channel; rows packed with no gap, the bottom row of
// the picture first. Record and buffer come from malloc; release with freeImageRecord.
struct ImageRecord {
    int32_t width;
    int32_t height;
    unsigned char* pixels;
};

// Loads a BMP file (narrow path). Returns null after showing one "Error" message box.
ImageRecord* loadDibImage(const char* fileName);
// The same, refusing an image wider or higher than maxSide (the largest texture the caller can
// use) before decoding it.
ImageRecord* loadDibImage(const char* fileName, int32_t maxSide);
// The same for a UTF-16 path, converted to the file system's encoding.
ImageRecord* loadDibImageWide(const char16_t* fileName);
// Colour-table entries of a 12- or 40-byte DIB header.
uint16_t dibColorCount(const void* header);
// Error boxes are shown while this is on (the default).
void setShowErrorBoxes(bool show);
// Releases the pixel buffer, then the record. Null is fine.
void freeImageRecord(ImageRecord* record);
