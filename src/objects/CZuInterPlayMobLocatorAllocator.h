// Makes the CZuInterPlayMobLocator objects of their pool.
#ifndef CZU_INTER_PLAY_MOB_LOCATOR_ALLOCATOR_H
#define CZU_INTER_PLAY_MOB_LOCATOR_ALLOCATOR_H

#include "CKoLightUnknown.h"
#include "CKoUnknown.h"
#include "IKoPool.h"

class CZuInterPlayMobLocatorAllocator : public IKoPoolAllocator, public CKoLightUnknown {
public:
    CZuInterPlayMobLocatorAllocator();
    ~CZuInterPlayMobLocatorAllocator() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    // Answers IKoPoolAllocator; everything else goes to CKoLightUnknown.
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    // A new object with its single reference, the one its pool will own.
    STDMETHOD(Allocate)(IUnknown** out) override;
};

#endif // CZU_INTER_PLAY_MOB_LOCATOR_ALLOCATOR_H
