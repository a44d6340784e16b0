// libFuzzer target over the response reader: each input is a whole HTTP
// response to GetChildren, read in memory through a fresh binding.
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZU_FUZZ=ON
//   cmake --build build-fuzz --target SoapResponseFuzzer
//   build-fuzz/bin/SoapResponseFuzzer -max_len=65536 new-corpus/ tests/soap/corpus/
// The seeds in tests/soap/corpus/ are the simulator's responses to each
// operation of the command-line host's demo, as they came over the wire, and
// a fault, an error list and a chunked response.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "ResponseReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadGetChildrenResponse(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
