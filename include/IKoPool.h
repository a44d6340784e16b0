// Object pool interfaces: the allocator a pool makes its elements with, the
// element side of a pooled object, and the pool itself.
#ifndef IKO_POOL_H
#define IKO_POOL_H

#include "KoCom.h"

// {EAF84D7D-9F6B-44AE-821B-49A4473B5996}
inline constexpr IID IID_IKoPoolAllocator = {
    0xEAF84D7D, 0x9F6B, 0x44AE, {0x82, 0x1B, 0x49, 0xA4, 0x47, 0x3B, 0x59, 0x96}};
// {28E4651C-070E-46FE-88E9-84A7B325EE1E}
inline constexpr IID IID_IKoCOMPoolElement = {
    0x28E4651C, 0x070E, 0x46FE, {0x88, 0xE9, 0x84, 0xA7, 0xB3, 0x25, 0xEE, 0x1E}};
// {F75CB080-7EE6-4E8F-BCAC-5F5F521EEE7E}
inline constexpr IID IID_IKoPoolManager = {
    0xF75CB080, 0x7EE6, 0x4E8F, {0xBC, 0xAC, 0x5F, 0x5F, 0x52, 0x1E, 0xEE, 0x7E}};

struct IKoPoolManager;

struct IKoPoolAllocator : public IUnknown {
    // A new pool element carrying exactly one reference, the pool's.
    STDMETHOD(Allocate)(IUnknown** out) PURE;
};

struct IKoCOMPoolElement : public IUnknown {
    // Stores the pool (null clears it); takes no reference.
    STDMETHOD(SetPoolManager)(IKoPoolManager* pool) PURE;
    STDMETHOD(OnReturnToPool)() PURE;
    STDMETHOD(OnLeaveFromPool)() PURE;
};

struct IKoPoolManager : public IUnknown {
    STDMETHOD(GetElement)(IKoCOMPoolElement** out) PURE;
    STDMETHOD(ReturnElement)(IKoCOMPoolElement* element) PURE;
};

#endif // IKO_POOL_H
