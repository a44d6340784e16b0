// Makes the CZuInterplayMobAttribute objects of their pool.
#ifndef CZU_INTERPLAY_MOB_ATTRIBUTE_ALLOCATOR_H
#define CZU_INTERPLAY_MOB_ATTRIBUTE_ALLOCATOR_H

#include "CKoLightUnknown.h"
#include "CKoUnknown.h"
#include "IKoPool.h"

class CZuInterplayMobAttributeAllocator : public IKoPoolAllocator, public CKoLightUnknown {
public:
    CZuInterplayMobAttributeAllocator();
    ~CZuInterplayMobAttributeAllocator() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    // Answers IKoPoolAllocator; everything else goes to CKoLightUnknown.
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    // A new object with its single reference, the one its pool will own.
    STDMETHOD(Allocate)(IUnknown** out) override;
};

#endif // CZU_INTERPLAY_MOB_ATTRIBUTE_ALLOCATOR_H
