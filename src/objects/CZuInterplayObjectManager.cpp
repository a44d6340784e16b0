#include "CZuInterplayObjectManager.h"

#include <new>

#include "CZuInterPlayMobLocatorAllocator.h"
#include "CZuInterplayAssetDescriptionAllocator.h"
#include "CZuInterplayAssetsDescriptionsListAllocator.h"
#include "CZuInterplayMobAttributeAllocator.h"
#include "CZuInterplayMobAttributeListAllocator.h"
#include "CZuInterplayMobLocatorListAllocator.h"
#include "KoTrace.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

// A fault the test build's switch asks for; never one in the production build.
#ifdef ZU_TEST_SEAMS
#define ZU_TEST_FAULT(condition) (condition)
#else
#define ZU_TEST_FAULT(condition) false
#endif

namespace {

void Notify(const ZuFailureNotice& notice, HRESULT hr) {
    KoNotifyFailureAt(notice.text, hr, notice.sourceUnit, notice.line);
}

// The allocator class names, by kind; each is also its pool's name.
const wchar_t* const kAllocatorNames[ZU_OBJECT_KIND_COUNT] = {
    L"CZuInterplayAssetDescriptionAllocator", L"CZuInterplayAssetsDescriptionsListAllocator",
    L"CZuInterplayMobAttributeAllocator",     L"CZuInterplayMobAttributeListAllocator",
    L"CZuInterPlayMobLocatorAllocator",       L"CZuInterplayMobLocatorListAllocator",
};

IKoPoolAllocator* NewAllocator(unsigned kind) {
    if (ZU_TEST_FAULT(static_cast<int>(kind) == CZuInterplayObjectManager::s_testFaults.failAllocatorKind))
        return nullptr;
    switch (kind) {
    case ZU_KIND_ASSET_DESCRIPTION:
        return new (std::nothrow) CZuInterplayAssetDescriptionAllocator();
    case ZU_KIND_ASSETS_DESCRIPTIONS_LIST:
        return new (std::nothrow) CZuInterplayAssetsDescriptionsListAllocator();
    case ZU_KIND_MOB_ATTRIBUTE:
        return new (std::nothrow) CZuInterplayMobAttributeAllocator();
    case ZU_KIND_MOB_ATTRIBUTE_LIST:
        return new (std::nothrow) CZuInterplayMobAttributeListAllocator();
    case ZU_KIND_MOB_LOCATOR:
        return new (std::nothrow) CZuInterPlayMobLocatorAllocator();
    case ZU_KIND_MOB_LOCATOR_LIST:
        return new (std::nothrow) CZuInterplayMobLocatorListAllocator();
    }
    return nullptr;
}

} // namespace

#ifdef ZU_TEST_SEAMS
CZuInterplayObjectManager::TestFaults CZuInterplayObjectManager::s_testFaults;
#endif

CZuInterplayObjectManager* CreateObjectManager(IUnknown* /*outer*/, HRESULT* result) {
    if (result) *result = S_OK;
    if (ZU_TEST_FAULT(CZuInterplayObjectManager::s_testFaults.failCreate)) return nullptr;
    return new (std::nothrow) CZuInterplayObjectManager();
}

CZuInterplayObjectManager::CZuInterplayObjectManager() : CKoUnknown(L"CZuInterplayObjectManager", nullptr) {}

CZuInterplayObjectManager::~CZuInterplayObjectManager() = default;

HRESULT CZuInterplayObjectManager::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayObjectManager)
        return KoGetInterface(static_cast<IZuInterplayObjectManager*>(this), ppv);
    return CKoUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayObjectManager::GetInterplayObject(unsigned kind, IZuInterplayObject** out) {
    if (!out) return ZU_E_INVALIDARG;
    if (kind >= ZU_OBJECT_KIND_COUNT) return ZU_E_FAILED;
    CZuInterplayObjectPool* pool = m_pools[kind];
    if (!pool) return ZU_E_FAILED;
    HRESULT hr = pool->GetTypedElement(out);
    if (FAILED(hr)) {
        Notify(ZU_NOTICE_GET_TYPED_ELEMENT, hr);
        return hr;
    }
    return S_OK;
}

HRESULT CZuInterplayObjectManager::Initialize() {
    IKoPoolAllocator* allocators[ZU_OBJECT_KIND_COUNT];
    for (unsigned kind = 0; kind < ZU_OBJECT_KIND_COUNT; ++kind) allocators[kind] = NewAllocator(kind);

    HRESULT hr = S_OK;
    for (unsigned kind = 0; kind < ZU_OBJECT_KIND_COUNT && SUCCEEDED(hr); ++kind) {
        hr = AddAllocatorToPoolManagers(allocators[kind], kAllocatorNames[kind], kind);
        if (FAILED(hr)) Notify(ZU_NOTICE_ADD_ALLOCATOR_FAILED, hr);
    }

    // A registered allocator lives on through its pool's reference.
    for (IKoPoolAllocator* allocator : allocators)
        if (allocator) allocator->Release();
    return hr;
}

HRESULT CZuInterplayObjectManager::AddAllocatorToPoolManagers(IKoPoolAllocator* allocator,
                                                              const wchar_t* poolName, unsigned kind) {
    if (!allocator) {
        Notify(ZU_NOTICE_INVALID_ALLOCATOR, ZU_E_INVALIDPOINTER);
        return ZU_E_INVALIDPOINTER;
    }
    if (kind >= ZU_OBJECT_KIND_COUNT) return ZU_E_INVALIDARG;

    CZuInterplayObjectPool* pool = nullptr;
    if (!ZU_TEST_FAULT(static_cast<int>(kind) == s_testFaults.failPoolKind))
        pool = new (std::nothrow)
            CZuInterplayObjectPool(poolName, ZU_POOL_INITIAL_COUNT, ZU_POOL_LIMIT, allocator);
    if (!pool) {
        Notify(ZU_NOTICE_POOL_CREATION_FAILED, ZU_E_OUTOFMEMORY);
        return ZU_E_OUTOFMEMORY;
    }
    // The table's reference becomes the pool's only one.
    m_pools[kind] = pool;
    pool->Release();
    return S_OK;
}
