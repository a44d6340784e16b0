// Reference counting, aggregation and QueryInterface for the module's COM
// objects. A class derives from its interfaces and from CKoUnknown; the
// IUnknown methods of its interfaces forward to GetOwner(), and its own
// NonDelegatingQueryInterface answers its interface identifiers and passes the
// rest to this class. A new object's count is 0.
#ifndef CKO_UNKNOWN_H
#define CKO_UNKNOWN_H

#include "CKoBaseObject.h"
#include "CKoInnerUnknown.h"

class CKoUnknown : public INonDelegatingUnknown, public CKoBaseObject {
public:
    // outer: the aggregating object's unknown, or null when not aggregated.
    CKoUnknown(const wchar_t* name, IUnknown* outer);
    virtual ~CKoUnknown();

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, NonDelegatingAddRef)() override;
    STDMETHOD_(ULONG, NonDelegatingRelease)() override;

    // The unknown every interface of the object delegates to.
    IUnknown* GetOwner() const { return m_owner; }

protected:
    // Current count, for diagnostics and the pools.
    LONG GetRefCount() const;

private:
    CKoInnerUnknown m_inner;
    IUnknown* m_owner;
    volatile LONG m_refCount;
};

// The IUnknown methods of a class built on CKoUnknown or CKoLightUnknown.
#define KO_DECLARE_DELEGATING_UNKNOWN                                     \
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {         \
        return GetOwner()->QueryInterface(riid, ppv);                     \
    }                                                                     \
    STDMETHOD_(ULONG, AddRef)() override { return GetOwner()->AddRef(); } \
    STDMETHOD_(ULONG, Release)() override { return GetOwner()->Release(); }

#endif // CKO_UNKNOWN_H
