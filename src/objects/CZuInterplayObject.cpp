#include "CZuInterplayObject.h"

#include "KoText.h"

namespace {

struct PoolCounts {
    unsigned allocated = 0;
    unsigned used = 0;
    unsigned free = 0;
};

// Every pool that sets itself on a result object is a result object pool.
PoolCounts ReadCounts(IKoPoolManager* manager) {
    PoolCounts counts;
    if (manager) {
        CZuInterplayObjectPool* pool = static_cast<CZuInterplayObjectPool*>(manager);
        counts.allocated = pool->GetAllocatedCount();
        counts.used = pool->GetUsedCount();
        counts.free = pool->GetFreeCount();
    }
    return counts;
}

} // namespace

CZuInterplayObject::CZuInterplayObject(const wchar_t* objectName) : CKoPoolElement(objectName, nullptr) {
    KoCopyWide(m_objectName, ZU_OBJECT_NAME_CCH, objectName);
}

CZuInterplayObject::~CZuInterplayObject() {}

HRESULT CZuInterplayObject::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayObject) {
        NonDelegatingAddRef();
        *ppv = static_cast<IZuInterplayObject*>(this);
        return S_OK;
    }
    return CKoPoolElement::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayObject::Flush() { return S_OK; }

HRESULT CZuInterplayObject::Reserved4() { return S_OK; }

HRESULT CZuInterplayObject::OnLeaveFromPool() {
    PoolCounts counts = ReadCounts(GetPoolManager());
    KoTraceMessage(KO_TRACE_CATEGORY_POOL, KO_TRACE_LEVEL, "CZuInterplayObject::OnLeaveFromPool %S NODE",
                   m_objectName);
    KoTraceMessage(KO_TRACE_CATEGORY_POOL, KO_TRACE_LEVEL,
                   "CZuInterplayObject::OnLeaveFromPool %S POOL ALLOCATED: %u USED: %u FREE: %u",
                   m_objectName, counts.allocated, counts.used, counts.free);
    return CKoPoolElement::OnLeaveFromPool();
}

HRESULT CZuInterplayObject::OnReturnToPool() {
    // The pool still counts this object as used.
    PoolCounts counts = ReadCounts(GetPoolManager());
    KoTraceMessage(KO_TRACE_CATEGORY_POOL, KO_TRACE_LEVEL, "CZuInterplayObject::OnReturnToPool %S NODE",
                   m_objectName);
    KoTraceMessage(KO_TRACE_CATEGORY_POOL, KO_TRACE_LEVEL,
                   "CZuInterplayObject::OnReturnToPool %S POOL ALLOCATED: %u USED: %u FREE: %u",
                   m_objectName, counts.allocated, counts.used, counts.free);
    // Runs outside the pool's lock: what the object releases here goes back
    // to its own pool.
    HRESULT hr = static_cast<IZuInterplayObject*>(this)->Flush();
    if (FAILED(hr)) KoNotifyFailure("CZuInterplayObject::OnReturnToPool ERROR ! Failed to flush node", hr);
    return CKoPoolElement::OnReturnToPool();
}
