// libFuzzer target over the simulator's request reader: each input is a whole
// HTTP request, served in memory by a fresh service over an empty tree; the
// response is discarded.
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZU_FUZZ=ON
//   cmake --build build-fuzz --target SimRequestFuzzer
//   build-fuzz/bin/SimRequestFuzzer -max_len=65536 new-corpus/ tests/sim/corpus/
// The seeds in tests/sim/corpus/ are the component's requests of each
// operation of the command-line host's demo, as they went over the wire.
#include <stddef.h>
#include <stdint.h>

#include <mutex>
#include <sstream>
#include <string>

#include "AssetTree.h"
#include "AssetsService.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    assets_sim::Options options;
    options.users = {{"editor", "editor"}}; // the seeds' credentials
    options.maxRequestBytes = 1 << 20;
    assets_sim::AssetTree tree;
    std::mutex treeLock;
    assets_sim::AssetsService service(tree, treeLock, options);
    struct soap* soap = soap_new();
    if (!soap) return 0;
    service.Configure(soap);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out;
    soap->is = &in;
    soap->os = &out;
    service.Serve(soap);
    soap->is = nullptr;
    soap->os = nullptr;
    soap_free(soap);
    return 0;
}
