// The non-delegating unknown of an object: the reference count and the
// interface table that belong to the object itself, whether or not another
// object aggregates it.
#ifndef INON_DELEGATING_UNKNOWN_H
#define INON_DELEGATING_UNKNOWN_H

#include "KoCom.h"

struct INonDelegatingUnknown {
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) PURE;
    STDMETHOD_(ULONG, NonDelegatingAddRef)() PURE;
    STDMETHOD_(ULONG, NonDelegatingRelease)() PURE;
};

// What a NonDelegatingQueryInterface answers for one of the object's own
// interfaces. The reference is taken through the interface, so that for an
// aggregated object it counts on the outer object, which the interface
// delegates to.
template <class I>
HRESULT KoGetInterface(I* itf, void** ppv) {
    itf->AddRef();
    *ppv = itf;
    return S_OK;
}

#endif // INON_DELEGATING_UNKNOWN_H
