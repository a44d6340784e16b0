#include "CKoPoolManager.h"

#include <new>

#include "CKoAutoLock.h"
#include "KoResult.h"
#include "ZuResultCodes.h"

CKoPoolManager::CKoPoolManager(const wchar_t* name, unsigned initialCount, IKoPoolAllocator* allocator)
    : CKoLightUnknown(name, nullptr), m_allocator(allocator), m_used(0), m_made(0) {
    if (m_allocator) m_allocator->AddRef();
    try {
        m_free.reserve(initialCount);
    } catch (const std::bad_alloc&) {
        initialCount = 0;
    }
    for (unsigned i = 0; i < initialCount; ++i) {
        IKoCOMPoolElement* element = nullptr;
        if (SUCCEEDED(NewElement(&element))) {
            m_free.push_back(element);
            ++m_made;
        }
    }
}

CKoPoolManager::~CKoPoolManager() {
    while (!m_free.empty()) {
        IKoCOMPoolElement* element = m_free.back();
        m_free.pop_back();
        // An idle element here keeps its pool set; cleared, nothing its
        // destruction does can send it back to a pool that is going.
        element->SetPoolManager(nullptr);
        element->Release();
    }
    if (m_allocator) m_allocator->Release();
    m_allocator = nullptr;
    m_used.store(0, std::memory_order_relaxed);
}

HRESULT CKoPoolManager::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IKoPoolManager) return KoGetInterface(static_cast<IKoPoolManager*>(this), ppv);
    return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CKoPoolManager::NewElement(IKoCOMPoolElement** out) {
    if (!m_allocator) return E_POINTER;
    IUnknown* unknown = nullptr;
    HRESULT hr = m_allocator->Allocate(&unknown);
    KO_RETURN_IF_FAILED(hr);
    if (!unknown) return E_POINTER;
    IKoCOMPoolElement* element = nullptr;
    hr = KoQueryInterface(unknown, IID_IKoCOMPoolElement, &element);
    unknown->Release();
    KO_RETURN_IF_FAILED(hr);
    element->SetPoolManager(this);
    *out = element;
    return S_OK;
}

HRESULT CKoPoolManager::GetElement(IKoCOMPoolElement** out) {
    if (!out) return E_POINTER;
    IKoCOMPoolElement* element = nullptr;
    {
        CKoAutoLock lock(&m_lock);
        if (!m_free.empty()) {
            element = m_free.back();
            m_free.pop_back();
        } else {
            if (m_free.capacity() <= m_made) {
                try {
                    m_free.reserve(m_made * 2 + 1);
                } catch (const std::bad_alloc&) {
                    return ZU_E_OUTOFMEMORY;
                }
            }
            HRESULT hr = NewElement(&element);
            KO_RETURN_IF_FAILED(hr);
            ++m_made;
        }
        CountOut();
        NonDelegatingAddRef();
    }
    element->AddRef();
    *out = element;
    return element->OnLeaveFromPool();
}

HRESULT CKoPoolManager::ReturnElement(IKoCOMPoolElement* element) {
    if (!element) return E_POINTER;
    HRESULT result = element->OnReturnToPool();
    {
        CKoAutoLock lock(&m_lock);
        // An element this pool did not make may find no room.
        if (m_free.size() == m_free.capacity()) {
            try {
                m_free.reserve(m_free.size() * 2 + 1);
            } catch (const std::bad_alloc&) {
                return ZU_E_OUTOFMEMORY;
            }
        }
        m_free.push_back(element);
        CountIn();
    }
    NonDelegatingRelease();
    return result;
}
