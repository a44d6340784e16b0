// Helpers shared by the two unknowns (CKoUnknown, CKoLightUnknown).
#ifndef CKO_INNER_UNKNOWN_H
#define CKO_INNER_UNKNOWN_H

#include "INonDelegatingUnknown.h"

// The IUnknown face of a non-delegating unknown: what an object that is not
// aggregated uses as its owner, and what an aggregating object holds.
class CKoInnerUnknown final : public IUnknown {
public:
    explicit CKoInnerUnknown(INonDelegatingUnknown* self) : m_self(self) {}
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

private:
    INonDelegatingUnknown* m_self;
};

// IID_IUnknown gives the inner unknown with a reference added to self; any
// other identifier nulls *ppv and gives E_NOINTERFACE.
HRESULT KoQueryInnerUnknown(IUnknown* inner, INonDelegatingUnknown* self, REFIID riid, void** ppv);

// Reference counting shared by the unknowns: the new count, never below 1.
ULONG KoCountedAddRef(volatile LONG* count);
// Decrements; when the count reaches 0 it is raised to 1 again (so references
// taken and dropped during destruction cannot destroy the object twice) and
// true is returned: the caller then destroys the object and answers 0.
// Otherwise *result is the new count, never below 1.
bool KoCountedRelease(volatile LONG* count, ULONG* result);

#endif // CKO_INNER_UNKNOWN_H
