// Serves the GetChildren response of the benchmarks (5,000 assets of 10 CJK
// attributes) on a loopback port until its standard input closes; prints the
// service URL first. The peer of HostBrowseBench on both platforms.
#include <stdio.h>

#include "AssetsBenchSupport.h"
#include "ScriptedServer.h"

int main() {
    printf("%s\n", benchsupport::ChildrenServer().url().c_str());
    fflush(stdout);
    while (getchar() != EOF) {
    }
    return 0;
}
