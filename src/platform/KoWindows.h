// The Win32 stand-ins the component calls, under their Win32 names. Component
// code includes this header where it would include <windows.h>.
#ifndef KO_WINDOWS_H
#define KO_WINDOWS_H

#include "KoCodePage.h"
#include "KoDebugOutput.h"
#include "KoFileApi.h"
#include "KoGuid.h"
#include "KoInterlocked.h"
#include "KoMessageBox.h"
#include "KoModule.h"
#include "KoRegistry.h"
#include "KoSync.h"
#include "KoWinTypes.h"
#include "KoWindowMessage.h"

#endif // KO_WINDOWS_H
