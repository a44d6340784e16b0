// Makes the CZuInterplayMobAttribute objects of their pool.
#ifndef CZU_INTERPLAY_MOB_ATTRIBUTE_ALLOCATOR_H
#define CZU_INTERPLAY_MOB_ATTRIBUTE_ALLOCATOR_H

#include "CZuInterplayMobAttribute.h"
#include "TZuInterplayObjectAllocator.h"
#include "ZuTexts.h"

class CZuInterplayMobAttributeAllocator : public TZuInterplayObjectAllocator<CZuInterplayMobAttribute> {
public:
    CZuInterplayMobAttributeAllocator()
        : TZuInterplayObjectAllocator(L"CZuInterplayMobAttributeAllocator", L"CZuInterplayMobAttribute",
                                      ZU_UNIT_MOB_ATTRIBUTE_ALLOCATOR) {}
};

#endif // CZU_INTERPLAY_MOB_ATTRIBUTE_ALLOCATOR_H
