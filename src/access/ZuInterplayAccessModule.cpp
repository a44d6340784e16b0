// The classes this module serves.
#include "CZuInterplayAccess.h"
#include "KoComServer.h"

const KoClassTableEntry g_KoClassTable[] = {
    {L"Orvelin InterplayAccess", &CLSID_ZuInterplayAccess, CreateAccessObject, nullptr, nullptr},
};
const int g_KoClassTableCount = sizeof g_KoClassTable / sizeof g_KoClassTable[0];
