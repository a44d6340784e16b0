// Makes the CZuInterplayMobAttributeList objects of their pool.
#ifndef CZU_INTERPLAY_MOB_ATTRIBUTE_LIST_ALLOCATOR_H
#define CZU_INTERPLAY_MOB_ATTRIBUTE_LIST_ALLOCATOR_H

#include "CZuInterplayMobAttributeList.h"
#include "TZuInterplayObjectAllocator.h"
#include "ZuTexts.h"

class CZuInterplayMobAttributeListAllocator
    : public TZuInterplayObjectAllocator<CZuInterplayMobAttributeList> {
public:
    CZuInterplayMobAttributeListAllocator()
        : TZuInterplayObjectAllocator(L"CZuInterplayMobAttributeListAllocator",
                                      L"CZuInterplayMobAttributeList", ZU_UNIT_MOB_ATTRIBUTE_LIST_ALLOCATOR) {
    }
};

#endif // CZU_INTERPLAY_MOB_ATTRIBUTE_LIST_ALLOCATOR_H
