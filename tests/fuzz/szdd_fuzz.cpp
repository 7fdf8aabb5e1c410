// Fuzz target: the SZDD expander.
#include <cstdint>
#include <vector>

#include "update/wiz_szdd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    // Lengths past what the data can give end the run at the data's end.
    szdd_Expand(data, size, &out);
    return 0;
}
