// Makes the CZuInterPlayMobLocator objects of their pool.
// This allocator writes no failure notice.
#ifndef CZU_INTER_PLAY_MOB_LOCATOR_ALLOCATOR_H
#define CZU_INTER_PLAY_MOB_LOCATOR_ALLOCATOR_H

#include "CZuInterPlayMobLocator.h"
#include "TZuInterplayObjectAllocator.h"

class CZuInterPlayMobLocatorAllocator : public TZuInterplayObjectAllocator<CZuInterPlayMobLocator> {
public:
    CZuInterPlayMobLocatorAllocator()
        : TZuInterplayObjectAllocator(L"CZuInterPlayMobLocatorAllocator", L"CZuInterPlayMobLocator",
                                      nullptr) {}
};

#endif // CZU_INTER_PLAY_MOB_LOCATOR_ALLOCATOR_H
