// libFuzzer's entry for one target; QUORVALE_FUZZ_ENTRY names the function.
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return quorvale::fuzz::QUORVALE_FUZZ_ENTRY(data, size);
}
