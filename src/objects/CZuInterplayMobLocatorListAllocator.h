// Makes the CZuInterplayMobLocatorList objects of their pool.
// This allocator writes no failure notice.
#ifndef CZU_INTERPLAY_MOB_LOCATOR_LIST_ALLOCATOR_H
#define CZU_INTERPLAY_MOB_LOCATOR_LIST_ALLOCATOR_H

#include "CZuInterplayMobLocatorList.h"
#include "TZuInterplayObjectAllocator.h"

class CZuInterplayMobLocatorListAllocator : public TZuInterplayObjectAllocator<CZuInterplayMobLocatorList> {
public:
    CZuInterplayMobLocatorListAllocator()
        : TZuInterplayObjectAllocator(L"CZuInterplayMobLocatorListAllocator", L"CZuInterplayMobLocatorList",
                                      nullptr) {}
};

#endif // CZU_INTERPLAY_MOB_LOCATOR_LIST_ALLOCATOR_H
