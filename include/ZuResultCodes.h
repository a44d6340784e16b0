// Result codes of the interplay access module.
//
// Service operations may also return a positive SOAP runtime code when the
// exchange with the server failed; those are not listed here.
#ifndef ZU_RESULT_CODES_H
#define ZU_RESULT_CODES_H

#include "KoCom.h"

#define ZU_E_FAILED ((HRESULT)0x88888005)         // the work faulted, or no pool serves a kind
#define ZU_E_OUTOFMEMORY ((HRESULT)0x88888043)    // a pool or pooled object could not be made
#define ZU_E_INVALIDARG ((HRESULT)0x88888044)     // a required argument is null or out of range
#define ZU_E_INVALIDPOINTER ((HRESULT)0x88888045) // null allocator given to the object manager
#define ZU_E_POOLEXHAUSTED ((HRESULT)0x8888806F)  // a pool reached its limit
#define ZU_E_SERVERERROR ((HRESULT)0x88888FFF)    // the server answered with an error list

#endif // ZU_RESULT_CODES_H
