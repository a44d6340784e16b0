// The element side of an object pool. The pool owns one reference to each of
// its elements; when an element's count falls back to that single reference
// while it is handed out, the element gives itself back to its pool.
#ifndef CKO_COM_POOL_ELEMENT_H
#define CKO_COM_POOL_ELEMENT_H

#include <atomic>

#include "CKoUnknown.h"
#include "IKoPool.h"

class CKoCOMPoolElement : public CKoUnknown, public IKoCOMPoolElement {
public:
    CKoCOMPoolElement(const wchar_t* name, IUnknown* outer);
    ~CKoCOMPoolElement() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    // Answers IKoCOMPoolElement; everything else goes to CKoUnknown.
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    // A release that leaves the count at 1 (the pool's own reference) while a
    // pool is set returns the element to that pool. Nothing is touched after
    // the return: the pool may have destroyed the element by then.
    STDMETHOD_(ULONG, NonDelegatingRelease)() override;

    // Stores the pool without taking a reference; null clears it.
    STDMETHOD(SetPoolManager)(IKoPoolManager* pool) override;
    // Notifications from the pool, outside its lock. The defaults set and
    // clear the in-pool flag; overrides call them.
    STDMETHOD(OnReturnToPool)() override;
    STDMETHOD(OnLeaveFromPool)() override;

    // True while the element rests in a pool after a return.
    bool IsInPool() const { return m_inPool; }

protected:
    IKoPoolManager* GetPoolManager() const { return m_pool.load(std::memory_order_acquire); }

private:
    bool m_inPool;
    // Set and cleared by the pool under its lock; read by the releasing
    // thread, hence atomic.
    std::atomic<IKoPoolManager*> m_pool;
};

#endif // CKO_COM_POOL_ELEMENT_H
