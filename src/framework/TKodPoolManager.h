// A pool whose elements are held and handed out through the interface I (with
// identifier iid). Idle elements rest with their pool pointer cleared, so that
// nothing an idle element does can send it back a second time; the pointer is
// set each time the element is handed out.
//
// The counters read outside the lock: the used count (elements handed out),
// the allocated count (all elements made: idle plus used) and the free count
// (the limit minus the used count, not the idle elements).
#ifndef TKOD_POOL_MANAGER_H
#define TKOD_POOL_MANAGER_H

#include <new>

#include "CKoAutoLock.h"
#include "CKoPoolManager.h"
#include "KoResult.h"
#include "ZuResultCodes.h"

template <class I, const IID& iid>
class TKodPoolManager : public CKoPoolManager {
public:
    // The untyped part starts empty; the typed free list is filled with
    // initialCount elements, skipping any that cannot be made.
    TKodPoolManager(const wchar_t* name, unsigned initialCount, unsigned limit, IKoPoolAllocator* allocator)
        : CKoPoolManager(name, 0, allocator), m_limit(limit), m_idle(0), m_userData(0), m_typedMade(0) {
        try {
            m_typedFree.reserve(initialCount);
        } catch (const std::bad_alloc&) {
            initialCount = 0;
        }
        for (unsigned i = 0; i < initialCount; ++i) {
            Entry entry;
            if (SUCCEEDED(NewEntry(&entry))) {
                m_typedFree.push_back(entry);
                ++m_typedMade;
            }
        }
        m_idle.store(static_cast<uint32_t>(m_typedFree.size()), std::memory_order_relaxed);
    }

    // Destroys the idle elements. Elements that are out hold a reference to
    // the pool, so none can be out now.
    ~TKodPoolManager() override {
        while (!m_typedFree.empty()) {
            Entry entry = m_typedFree.back();
            m_typedFree.pop_back();
            entry.typed->Release();
        }
        m_idle.store(0, std::memory_order_relaxed);
    }

    // A typed pool hands out through GetTypedElement only, so that the limit
    // and the counters hold for every element.
    STDMETHOD(GetElement)(IKoCOMPoolElement** /*out*/) override { return E_NOTIMPL; }

    // Called by an element whose count fell to the pool's own reference:
    // notifies it outside the lock, then files it as idle.
    STDMETHOD(ReturnElement)(IKoCOMPoolElement* element) override {
        if (!element) return E_POINTER;
        element->OnReturnToPool();
        {
            CKoAutoLock lock(&m_lock);
            // From here the release below cannot send the element back again.
            element->SetPoolManager(nullptr);
            // An element this pool did not make may find no room.
            if (m_typedFree.size() == m_typedFree.capacity()) {
                try {
                    m_typedFree.reserve(m_typedFree.size() * 2 + 1);
                } catch (const std::bad_alloc&) {
                    return ZU_E_OUTOFMEMORY;
                }
            }
            I* typed = nullptr;
            HRESULT hr = KoQueryInterface(element, iid, &typed);
            KO_RETURN_IF_FAILED(hr);
            // Leaves the element's single reference held through typed.
            element->Release();
            m_typedFree.push_back(Entry{typed, element});
            m_idle.store(IdleCount() + 1, std::memory_order_relaxed);
            CountIn();
        }
        // May be the last reference: the pool then goes, and this element with
        // it. (A pool is never aggregated: its own unknown is its owner.)
        NonDelegatingRelease();
        return S_OK;
    }

    // Hands out the most recently returned element (or a new one) with one
    // reference for the caller. At the limit: ZU_E_POOLEXHAUSTED, without
    // taking the lock. *out is written only on success.
    STDMETHOD(GetTypedElement)(I** out) {
        if (!out) return E_POINTER;
        if (UsedCount() >= m_limit) return ZU_E_POOLEXHAUSTED;
        Entry entry;
        {
            CKoAutoLock lock(&m_lock);
            if (!m_typedFree.empty()) {
                entry = m_typedFree.back();
                m_typedFree.pop_back();
                m_idle.store(IdleCount() - 1, std::memory_order_relaxed);
                // The element handed out next: idle elements leave the cache,
                // and a hand-out touches both pointers' lines.
                if (!m_typedFree.empty()) {
                    KO_PREFETCH_FOR_WRITE(m_typedFree.back().element);
                    KO_PREFETCH_FOR_WRITE(m_typedFree.back().typed);
                }
            } else {
                // Room for the new element's return, made before it exists.
                if (m_typedFree.capacity() <= m_typedMade) {
                    try {
                        m_typedFree.reserve(m_typedMade * 2 + 1);
                    } catch (const std::bad_alloc&) {
                        return ZU_E_OUTOFMEMORY;
                    }
                }
                HRESULT hr = NewEntry(&entry);
                KO_RETURN_IF_FAILED(hr);
                ++m_typedMade;
            }
            CountOut();
            // Only now: the releases that brought a new element to its single
            // reference must not send it back.
            entry.element->SetPoolManager(this);
        }
        NonDelegatingAddRef();
        entry.typed->AddRef();
        entry.element->OnLeaveFromPool();
        *out = entry.typed;
        return S_OK;
    }

    STDMETHOD_(unsigned, GetFreeCount)() { return m_limit - UsedCount(); }
    STDMETHOD_(unsigned, GetUsedCount)() { return UsedCount(); }
    STDMETHOD_(unsigned, GetAllocatedCount)() { return IdleCount() + UsedCount(); }

    // Kept for the pool's user; the pool never reads it.
    STDMETHOD(SetUserData)(int value) {
        m_userData.store(value, std::memory_order_relaxed);
        return S_OK;
    }
    STDMETHOD(GetUserData)(int* out) {
        if (!out) return E_POINTER;
        *out = m_userData.load(std::memory_order_relaxed);
        return S_OK;
    }

private:
    // One idle element: its single reference is held through typed; element
    // is the same object and is not counted.
    struct Entry {
        I* typed = nullptr;
        IKoCOMPoolElement* element = nullptr;
    };

    uint32_t IdleCount() const { return m_idle.load(std::memory_order_relaxed); }

    // Makes one element with the allocator. A new element has no pool.
    HRESULT NewEntry(Entry* entry) {
        if (!m_allocator) return E_POINTER;
        IUnknown* unknown = nullptr;
        HRESULT hr = m_allocator->Allocate(&unknown);
        KO_RETURN_IF_FAILED(hr);
        if (!unknown) return E_POINTER;
        I* typed = nullptr;
        IKoCOMPoolElement* element = nullptr;
        hr = KoQueryInterface(unknown, iid, &typed);
        if (SUCCEEDED(hr)) {
            hr = KoQueryInterface(unknown, IID_IKoCOMPoolElement, &element);
            if (SUCCEEDED(hr))
                element->Release();
            else
                typed->Release();
        }
        // Brings a complete element to its single reference, and destroys an
        // incomplete one.
        unknown->Release();
        KO_RETURN_IF_FAILED(hr);
        entry->typed = typed;
        entry->element = element;
        return S_OK;
    }

    // Idle elements, a stack at its back. Its capacity always covers every
    // element the pool has made, so a return never allocates.
    std::vector<Entry> m_typedFree;
    const uint32_t m_limit;
    std::atomic<uint32_t> m_idle;
    std::atomic<int> m_userData;
    size_t m_typedMade;
};

#endif // TKOD_POOL_MANAGER_H
