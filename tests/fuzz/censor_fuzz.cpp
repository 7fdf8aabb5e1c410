// Fuzz target: "censor.txt" read into the word list, and the same bytes as a
// chat line normalised and checked against it. The list must hold only
// non-empty upper-case words inside the buffer; the normalised line stays
// within its buffer and terminated.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "net/censor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = fuzz_FileTargetInit("censor");
    if (size > 0x100000) return 0;
    fuzz_ReadInDir(dir, "censor.txt", data, size, chat_CensorLoad);

    size_t total = 0;
    for (int32_t i = 0; chat_CensorWords[i]; i++) {
        if (i >= CHAT_CENSOR_WORDS) abort();
        const char* w = chat_CensorWords[i];
        const size_t n = strlen(w);
        if (n == 0 || n > 127) abort();
        for (size_t k = 0; k < n; k++)
            if (!isupper((unsigned char)w[k])) abort();
        total += n + 1;
    }
    if (total > CHAT_CENSOR_BUFFER_SIZE) abort();

    // The input as a chat line, normalised into an output of a size the
    // first byte picks.
    std::string line(reinterpret_cast<const char*>(data), size);
    const size_t outSize = size ? 1 + data[0] % 64 : 1;
    std::vector<char> out(outSize + 8, 0x55);
    memset(out.data(), 0, outSize);
    chat_CensorNormalize(line.c_str(), out.data(), outSize);
    if (strnlen(out.data(), outSize) >= outSize) abort();
    for (size_t k = outSize; k < out.size(); k++)
        if (out[k] != 0x55) abort();
    chat_CensorCheck(line.c_str());
    return 0;
}
