// What the six allocators share: each makes the result objects of one kind
// for that kind's pool, and differs from the others only in the class it
// makes and the names it carries.
#ifndef TZU_INTERPLAY_OBJECT_ALLOCATOR_H
#define TZU_INTERPLAY_OBJECT_ALLOCATOR_H

#include "CKoLightUnknown.h"
#include "CKoUnknown.h"
#include "CZuInterplayObject.h"
#include "IKoPool.h"

template <class T>
class TZuInterplayObjectAllocator : public IKoPoolAllocator, public CKoLightUnknown {
public:
    KO_DECLARE_DELEGATING_UNKNOWN

    // Answers IKoPoolAllocator; everything else goes to CKoLightUnknown.
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IKoPoolAllocator) return KoGetInterface(static_cast<IKoPoolAllocator*>(this), ppv);
        return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
    }

    // A new object with its single reference, the one its pool will own.
    STDMETHOD(Allocate)(IUnknown** out) override {
        return CZuInterplayObject::Allocate<T>(m_objectName, m_sourceUnit, out);
    }

protected:
    // allocatorName is the allocator's own name (also its pool's), objectName
    // the name each new object carries, sourceUnit the unit a failure notice
    // names (null for the allocators that write none).
    TZuInterplayObjectAllocator(const wchar_t* allocatorName, const wchar_t* objectName,
                                const char* sourceUnit)
        : CKoLightUnknown(allocatorName, nullptr), m_objectName(objectName), m_sourceUnit(sourceUnit) {}

private:
    const wchar_t* const m_objectName;
    const char* const m_sourceUnit;
};

#endif // TZU_INTERPLAY_OBJECT_ALLOCATOR_H
