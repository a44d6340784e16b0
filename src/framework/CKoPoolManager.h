// An object pool: keeps COM objects alive between uses and hands the most
// recently returned one out first. New elements are made by the pool's
// allocator only when no idle element is left; nothing is freed until the
// pool goes.
//
// The pool starts with one reference, its creator's, and takes one more for
// each element handed out, so it outlives every element that is out. Its lock
// guards the free list and the counters only: element notifications, the
// caller's reference and the pool's own release run outside it.
#ifndef CKO_POOL_MANAGER_H
#define CKO_POOL_MANAGER_H

#include <stdint.h>

#include <atomic>
#include <vector>

#include "CKoCriticalSection.h"
#include "CKoLightUnknown.h"
#include "CKoUnknown.h"
#include "IKoPool.h"

class CKoPoolManager : public IKoPoolManager, public CKoLightUnknown {
public:
    // Fills the pool with initialCount elements; an element that cannot be
    // made is skipped. The pool keeps a reference to the allocator.
    CKoPoolManager(const wchar_t* name, unsigned initialCount, IKoPoolAllocator* allocator);
    ~CKoPoolManager() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    // Answers IKoPoolManager; everything else goes to CKoLightUnknown.
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;

    // Hands out an idle element (or a new one) with a reference for the caller.
    STDMETHOD(GetElement)(IKoCOMPoolElement** out) override;
    // Called by an element whose count fell back to the pool's reference.
    STDMETHOD(ReturnElement)(IKoCOMPoolElement* element) override;

protected:
    // Elements handed out and not yet returned. Changed only under the lock,
    // read anywhere.
    uint32_t UsedCount() const { return m_used.load(std::memory_order_relaxed); }
    void CountOut() { m_used.store(UsedCount() + 1, std::memory_order_relaxed); }
    void CountIn() { m_used.store(UsedCount() - 1, std::memory_order_relaxed); }

    CKoCriticalSection m_lock;
    IKoPoolAllocator* m_allocator;

private:
    // Makes one element; its IKoCOMPoolElement pointer carries the element's
    // single reference and its pool is set to this pool.
    HRESULT NewElement(IKoCOMPoolElement** out);

    std::atomic<uint32_t> m_used;
    // Idle elements, a stack at its back. Its capacity always covers every
    // element the pool has made, so a return never allocates.
    std::vector<IKoCOMPoolElement*> m_free;
    size_t m_made;
};

#endif // CKO_POOL_MANAGER_H
