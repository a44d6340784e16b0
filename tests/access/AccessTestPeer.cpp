#include "AccessTestPeer.h"

IZuInterplayAccess* NewAccessObject() {
    HRESULT hr = E_FAIL;
    CKoUnknown* object = CreateAccessObject(nullptr, &hr);
    if (!object || FAILED(hr)) return nullptr;
    IZuInterplayAccess* access = nullptr;
    object->NonDelegatingQueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&access));
    return access;
}
