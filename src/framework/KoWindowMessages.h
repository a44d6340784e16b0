// The window messages the editing system's modules register when they are
// loaded. Nothing in this module sends or handles them; each module keeps
// their identifiers.
#ifndef KO_WINDOW_MESSAGES_H
#define KO_WINDOW_MESSAGES_H

#include "KoWinTypes.h"

// Identifiers of the window messages registered at load.
extern UINT g_KoNotifySwitchDriver;
extern UINT g_KoGetXdcamExportInfo;
extern UINT g_KoNotifyCheckXdcamSetting;

// Registers the three messages and keeps their identifiers.
void KoRegisterWindowMessages();

#endif // KO_WINDOW_MESSAGES_H
