// The Win32 stand-ins the component calls, under their Win32 names. Component
// code includes this header where it would include <windows.h>.
#ifndef KO_WINDOWS_H
#define KO_WINDOWS_H

#include "KoWinTypes.h"
#include "KoCodePage.h"
#include "KoInterlocked.h"
#include "KoSync.h"
#include "KoModule.h"
#include "KoDebugOutput.h"
#include "KoWindowMessage.h"
#include "KoRegistry.h"
#include "KoFileApi.h"
#include "KoGuid.h"
#include "KoMessageBox.h"

#endif // KO_WINDOWS_H
