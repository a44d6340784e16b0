// Logs one trace message (as the component does) and one notice, with the
// configuration the environment gives; for tests that start it as a process.
#include <stdio.h>

#include "KoDebug.h"

int main() {
    // "GetChildren 中文 ! " in GBK.
    const char* text = "GetChildren \xD6\xD0\xCE\xC4 ! ";
    if (KoFilterLogMessage(6044, 1)) {
        int capacity = 0;
        char* buffer = KoGetLogBuffer(6044, 1, &capacity, 1);
        int n = snprintf(buffer, static_cast<size_t>(capacity), "%s\n", text);
        KoCommitLogBuffer(buffer, 0, n < capacity ? n + 1 : capacity, 0);
    }
    if (KoFilterLogToFile(6044, 1)) {
        int capacity = 0;
        char* buffer = KoGetLogBuffer(6044, 1, &capacity, 1);
        snprintf(buffer, static_cast<size_t>(capacity), "%s\n", text);
        KoLogTextToFileA(buffer);
    }
    KoLogNotifyA(0, 0, "%s hr=%x.", "child", 0x88888005u);
    return 0;
}
