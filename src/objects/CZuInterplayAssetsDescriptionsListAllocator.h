// Makes the CZuInterplayAssetsDescriptionsList objects of their pool.
#ifndef CZU_INTERPLAY_ASSETS_DESCRIPTIONS_LIST_ALLOCATOR_H
#define CZU_INTERPLAY_ASSETS_DESCRIPTIONS_LIST_ALLOCATOR_H

#include "CZuInterplayAssetsDescriptionsList.h"
#include "TZuInterplayObjectAllocator.h"
#include "ZuTexts.h"

class CZuInterplayAssetsDescriptionsListAllocator
    : public TZuInterplayObjectAllocator<CZuInterplayAssetsDescriptionsList> {
public:
    CZuInterplayAssetsDescriptionsListAllocator()
        : TZuInterplayObjectAllocator(L"CZuInterplayAssetsDescriptionsListAllocator",
                                      L"CZuInterplayAssetsDescriptionsList",
                                      ZU_UNIT_ASSETS_DESCRIPTIONS_LIST_ALLOCATOR) {}
};

#endif // CZU_INTERPLAY_ASSETS_DESCRIPTIONS_LIST_ALLOCATOR_H
