#include "CZuInterplayObject.h"

#include "KoText.h"
#include "ZuTexts.h"

namespace {

struct PoolCounts {
    // Every pool that sets itself on a result object is a result object pool,
    // so the counters are read without going through the pool's virtual table.
    explicit PoolCounts(IKoPoolManager* manager) {
        if (CZuInterplayObjectPool* pool = static_cast<CZuInterplayObjectPool*>(manager)) {
            allocated = pool->CZuInterplayObjectPool::GetAllocatedCount();
            used = pool->CZuInterplayObjectPool::GetUsedCount();
            free = pool->CZuInterplayObjectPool::GetFreeCount();
        }
    }
    unsigned allocated = 0;
    unsigned used = 0;
    unsigned free = 0;
};

} // namespace

CZuInterplayObject::CZuInterplayObject(const wchar_t* objectName) : CKoPoolElement(objectName, nullptr) {
    KoCopyWide(m_objectName, ZU_OBJECT_NAME_CCH, objectName);
}

CZuInterplayObject::~CZuInterplayObject() = default;

HRESULT CZuInterplayObject::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayObject) return KoGetInterface(static_cast<IZuInterplayObject*>(this), ppv);
    return CKoPoolElement::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayObject::Flush() { return S_OK; }

HRESULT CZuInterplayObject::Reserved4() { return S_OK; }

HRESULT CZuInterplayObject::OnLeaveFromPool() {
    PoolCounts counts(GetPoolManager());
    KoTraceMessage(KO_TRACE_CATEGORY_POOL, KO_TRACE_LEVEL, ZU_LOG_LEAVE_POOL_NODE, m_objectName);
    KoTraceMessage(KO_TRACE_CATEGORY_POOL, KO_TRACE_LEVEL, ZU_LOG_LEAVE_POOL_COUNTS, m_objectName,
                   counts.allocated, counts.used, counts.free);
    return CKoPoolElement::OnLeaveFromPool();
}

HRESULT CZuInterplayObject::OnReturnToPool() {
    // The pool still counts this object as used.
    PoolCounts counts(GetPoolManager());
    KoTraceMessage(KO_TRACE_CATEGORY_POOL, KO_TRACE_LEVEL, ZU_LOG_RETURN_POOL_NODE, m_objectName);
    KoTraceMessage(KO_TRACE_CATEGORY_POOL, KO_TRACE_LEVEL, ZU_LOG_RETURN_POOL_COUNTS, m_objectName,
                   counts.allocated, counts.used, counts.free);
    // Runs outside the pool's lock: what the object releases here goes back
    // to its own pool.
    HRESULT hr = static_cast<IZuInterplayObject*>(this)->Flush();
    if (FAILED(hr)) KoNotifyFailure(ZU_NOTICE_FLUSH_FAILED, hr);
    return CKoPoolElement::OnReturnToPool();
}
