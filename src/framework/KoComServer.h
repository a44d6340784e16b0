// The in-process server: the table of classes it serves, the module-wide
// counts and the registration pass.
#ifndef KO_COM_SERVER_H
#define KO_COM_SERVER_H

#include "KoCom.h"
#include "KoModule.h"

class CKoUnknown;

// Creates an object; returns its non-delegating unknown, or null. *result
// starts as S_OK and may be set to a failure.
typedef CKoUnknown* (*KoCreateFunction)(IUnknown* outer, HRESULT* result);
// Called with true at load and false at unload.
typedef void (*KoLoadRoutine)(bool loading, const CLSID* clsid);
// Called with true when registering and false when unregistering.
typedef HRESULT (*KoRegisterRoutine)(bool registering, const CLSID* clsid);

struct KoClassTableEntry {
    const wchar_t* name;
    const CLSID* clsid;
    KoCreateFunction create;
    KoLoadRoutine load;
    KoRegisterRoutine registration;
};

// The module's class table, defined by the module.
extern const KoClassTableEntry g_KoClassTable[];
extern const int g_KoClassTableCount;

// The module's handle, saved at load.
HMODULE KoGetModuleHandle();
// Server locks taken through IClassFactory::LockServer.
void KoLockServer(bool lock);
LONG KoGetServerLockCount();
// Registers (true) or unregisters (false) every class of the table.
HRESULT KoRegisterServer(bool registering);

#endif // KO_COM_SERVER_H
