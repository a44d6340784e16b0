// CKoUnknown for objects whose creator holds the first reference: the count
// starts at 1. Exported for the editing system's other modules.
#ifndef CKO_LIGHT_UNKNOWN_H
#define CKO_LIGHT_UNKNOWN_H

#include "CKoBaseObject.h"
#include "CKoInnerUnknown.h"

class KO_EXPORT CKoLightUnknown : public INonDelegatingUnknown, public CKoBaseObject {
public:
    CKoLightUnknown(const wchar_t* name, IUnknown* outer);
    // Also stores S_OK in *result.
    CKoLightUnknown(const wchar_t* name, IUnknown* outer, HRESULT* result);
    virtual ~CKoLightUnknown();

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, NonDelegatingAddRef)() override;
    STDMETHOD_(ULONG, NonDelegatingRelease)() override;

    IUnknown* GetOwner() const;

private:
    CKoInnerUnknown m_inner;
    IUnknown* m_owner;
    volatile LONG m_refCount;
};

#endif // CKO_LIGHT_UNKNOWN_H
