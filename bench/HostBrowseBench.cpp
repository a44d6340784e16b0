// GetChildren as a host calls it: the component loaded from its built library
// (the .so on Linux, the DLL on Windows, there under Wine), against a server
// that answers every request with the same 5,000 assets of 10 CJK attributes
// (ChildrenServer). One run: a warm-up call, then each call timed with the
// host's release of the list; prints the median and the fastest.
//   HostBrowseBench <service URL> [calls]
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "ComponentHost.h"
#include "KoPlatform.h"
#include "Text.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: HostBrowseBench <service URL> [calls]\n");
        return 2;
    }
    int calls = argc > 2 ? atoi(argv[2]) : 10;
    KoSetThreadCodePage(936);
    ComponentHost host;
    std::string error;
    if (!host.Load(ComponentHost::DefaultLibraryPath(), &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    IZuInterplayAccess* access = host.Access();
    access->SetServiceURL(Wide(argv[1]).c_str());
    access->SetCredentials(L"user", L"secret");
    std::vector<double> ms;
    int assets = 0;
    for (int i = 0; i <= calls; ++i) {
        auto start = std::chrono::steady_clock::now();
        IZuInterplayAssetsDescriptionsList* list = nullptr;
        HRESULT hr = access->GetChildren(L"interplay://WG/Bench", false, &list);
        if (hr != S_OK || !list) {
            fprintf(stderr, "GetChildren failed: 0x%08X\n", static_cast<unsigned>(hr));
            return 1;
        }
        list->GetCount(&assets);
        list->Release();
        auto end = std::chrono::steady_clock::now();
        if (i > 0) ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    printf("GetChildren of %d assets: median %.1f ms, fastest %.1f ms (%d calls)\n", assets,
           ms[ms.size() / 2], ms.front(), calls);
    return 0;
}
