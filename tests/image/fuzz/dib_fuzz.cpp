// libFuzzer entry: any bytes through the in-memory decoder. Sanitizers catch the faults.
#include <cstdlib>

#include "image/dib_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const dib::DecodeResult result = dib::decode(data, size);
    if (result.record) {
        // Reading the last pixel byte makes a buffer shorter than the picture a sanitizer fault.
        const size_t bytes = size_t(result.record->width) * size_t(result.record->height) * 3;
        const volatile unsigned char last = result.record->pixels[bytes - 1];
        static_cast<void>(last);
        freeImageRecord(result.record);
    }
    else if (!result.error) {
        std::abort();  // a refusal must always say why
    }
    return 0;
}
