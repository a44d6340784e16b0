// What every pooled result object shares: the pool element behaviour, the
// IZuInterplayObject interface, an object name for the pool log lines, and the
// trace lines written each time the object leaves or returns to its pool.
#ifndef CZU_INTERPLAY_OBJECT_H
#define CZU_INTERPLAY_OBJECT_H

#include <new>

#include "CKoElementArena.h"
#include "CKoPoolElement.h"
#include "IZuInterplayObject.h"
#include "KoResult.h"
#include "KoText.h"
#include "KoTrace.h"
#include "TKodPoolManager.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

enum { ZU_OBJECT_NAME_CCH = 64 };

class CZuInterplayObject : public CKoPoolElement, public IZuInterplayObject {
public:
    // A pool element with one reference (the one its pool will own), no pool
    // and a clear in-pool flag. The name is cut to 63 characters.
    explicit CZuInterplayObject(const wchar_t* objectName);
    ~CZuInterplayObject() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    // IZuInterplayObject, then what the pool element answers.
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;

    // Empties nothing here; each class empties its own contents.
    STDMETHOD(Flush)() override;
    STDMETHOD(Reserved4)() override;

    // Trace the pool's counters; a return also flushes the object.
    STDMETHOD(OnReturnToPool)() override;
    STDMETHOD(OnLeaveFromPool)() override;

    // The result objects live as long as their pools: their memory comes from
    // blocks of their own (CKoElementArena).
    static void* operator new(size_t bytes, const std::nothrow_t&) noexcept {
        return CKoElementArena::Allocate(bytes);
    }
    static void* operator new(size_t bytes) {
        void* memory = CKoElementArena::Allocate(bytes);
        if (!memory) throw std::bad_alloc();
        return memory;
    }
    static void operator delete(void* memory) noexcept { CKoElementArena::Free(memory); }
    static void operator delete(void* memory, const std::nothrow_t&) noexcept {
        CKoElementArena::Free(memory);
    }

    // What the allocators do: makes a T named objectName and hands it out
    // through IUnknown with its single reference. When the object refuses
    // IUnknown it is given up, and a failure notice names sourceUnit (none
    // when sourceUnit is null).
    template <class T>
    static HRESULT Allocate(const wchar_t* objectName, const char* sourceUnit, IUnknown** out);

protected:
    // The text fields of the result objects: a getter hands out a pointer into
    // the field; a setter refuses null and cuts a longer text to the field.
    template <size_t N>
    static HRESULT GetField(const wchar_t (&field)[N], const wchar_t** out) {
        if (!out) return ZU_E_INVALIDARG;
        *out = field;
        return S_OK;
    }
    template <size_t N>
    static HRESULT SetField(wchar_t (&field)[N], const wchar_t* text) {
        if (!text) return ZU_E_INVALIDARG;
        KoCopyWide(field, N, text);
        return S_OK;
    }

private:
    wchar_t m_objectName[ZU_OBJECT_NAME_CCH];
};

// The pool of one kind of result object.
typedef TKodPoolManager<IZuInterplayObject, IID_IZuInterplayObject> CZuInterplayObjectPool;

template <class T>
HRESULT CZuInterplayObject::Allocate(const wchar_t* objectName, const char* sourceUnit, IUnknown** out) {
    if (!out) return ZU_E_INVALIDARG;
    T* object = new (std::nothrow) T(objectName);
    if (!object) return ZU_E_OUTOFMEMORY;
    IKoCOMPoolElement* element = object;
    IUnknown* unknown = nullptr;
    HRESULT hr = KoQueryInterface(element, IID_IUnknown, &unknown);
    // Gives up the creation reference: the object now lives on through
    // unknown, or is destroyed.
    element->Release();
    if (FAILED(hr)) {
        if (sourceUnit)
            KoNotifyFailureAt(ZU_NOTICE_ALLOCATE_FAILED, hr, sourceUnit, ZU_NOTICE_ALLOCATE_FAILED_LINE);
        return hr;
    }
    *out = unknown;
    return hr;
}

#endif // CZU_INTERPLAY_OBJECT_H
