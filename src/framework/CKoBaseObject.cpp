#include "CKoBaseObject.h"

#include "KoInterlocked.h"

namespace {
volatile LONG g_liveObjects = 0;
}

CKoBaseObject::CKoBaseObject(const wchar_t* /*name*/) { InterlockedIncrement(&g_liveObjects); }

CKoBaseObject::~CKoBaseObject() { InterlockedDecrement(&g_liveObjects); }

LONG CKoBaseObject::GetObjectCount() { return KoInterlockedRead(&g_liveObjects); }
