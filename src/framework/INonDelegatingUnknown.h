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

#endif // INON_DELEGATING_UNKNOWN_H
