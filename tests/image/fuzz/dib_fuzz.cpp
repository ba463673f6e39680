// libFuzzer entry: any bytes through the in-memory decoder. Sanitizers catch the faults.
#include <cstdlib>

#include "image/dib_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const dib::DecodeResult result = dib::decode(data, size);
    if (result.record) {
        // Touch every output byte so a short buffer cannot go unnoticed.
        const size_t bytes = size_t(result.record->width) * size_t(result.record->height) * 3;
        volatile unsigned char sum = 0;
        for (size_t i = 0; i < bytes; i += 61)
            sum = sum + result.record->pixels[i];
        sum = sum + result.record->pixels[bytes - 1];
        freeImageRecord(result.record);
    }
    else if (!result.error) {
        std::abort();  // a refusal must always say why
    }
    return 0;
}
