// The demo workflow: every operation of the component once, on CJK names,
// each step printed with its result.
#ifndef INTERPLAY_CLI_DEMO_H
#define INTERPLAY_CLI_DEMO_H

#include <string>

#include "InterplayClient.h"
#include "ResultPrinter.h"

// Runs the workflow under the folder rootURI; true when every step succeeded.
bool RunDemo(InterplayClient& client, ResultPrinter& printer, const std::string& rootURI);

#endif // INTERPLAY_CLI_DEMO_H
