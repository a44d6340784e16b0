// Makes the CZuInterplayAssetDescription objects of their pool.
#ifndef CZU_INTERPLAY_ASSET_DESCRIPTION_ALLOCATOR_H
#define CZU_INTERPLAY_ASSET_DESCRIPTION_ALLOCATOR_H

#include "CZuInterplayAssetDescription.h"
#include "TZuInterplayObjectAllocator.h"
#include "ZuTexts.h"

class CZuInterplayAssetDescriptionAllocator
    : public TZuInterplayObjectAllocator<CZuInterplayAssetDescription> {
public:
    CZuInterplayAssetDescriptionAllocator()
        : TZuInterplayObjectAllocator(L"CZuInterplayAssetDescriptionAllocator",
                                      L"CZuInterplayAssetDescription", ZU_UNIT_ASSET_DESCRIPTION_ALLOCATOR) {}
};

#endif // CZU_INTERPLAY_ASSET_DESCRIPTION_ALLOCATOR_H
