// libFuzzer target over the response reader: each input is a whole HTTP
// response to GetChildren, read in memory through a fresh binding.
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZU_FUZZ=ON
//   cmake --build build-fuzz --target SoapResponseFuzzer
//   build-fuzz/bin/SoapResponseFuzzer -max_len=65536 corpus/
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "ResponseReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadGetChildrenResponse(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
