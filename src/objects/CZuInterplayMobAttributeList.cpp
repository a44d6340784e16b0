#include "CZuInterplayMobAttributeList.h"

CZuInterplayMobAttributeList::CZuInterplayMobAttributeList(const wchar_t* objectName)
    : CZuInterplayObject(objectName) {}

CZuInterplayMobAttributeList::~CZuInterplayMobAttributeList() {}

HRESULT CZuInterplayMobAttributeList::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayMobAttributeList)
        return KoGetInterface(static_cast<IZuInterplayMobAttributeList*>(this), ppv);
    return CZuInterplayObject::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayMobAttributeList::Flush() { return RemoveAll(); }

HRESULT CZuInterplayMobAttributeList::Add(IZuInterplayMobAttribute* item) {
    if (!item) return S_FALSE;
    try {
        m_items.emplace_back();
    } catch (const std::bad_alloc&) {
        return ZU_E_OUTOFMEMORY;
    }
    m_items.back() = item;
    return S_OK;
}

HRESULT CZuInterplayMobAttributeList::GetCount(int* out) {
    if (!out) return ZU_E_INVALIDARG;
    *out = static_cast<int>(m_items.size());
    return S_OK;
}

HRESULT CZuInterplayMobAttributeList::GetItem(int index, IZuInterplayMobAttribute** out) {
    if (!out || index < 0 || static_cast<size_t>(index) >= m_items.size()) return ZU_E_INVALIDARG;
    // Null only while RemoveAll runs.
    if (IZuInterplayMobAttribute* item = m_items[static_cast<size_t>(index)]) {
        item->AddRef();
        *out = item;
    }
    return S_OK;
}

HRESULT CZuInterplayMobAttributeList::Reserved6() { return S_OK; }

HRESULT CZuInterplayMobAttributeList::RemoveAll() {
    for (TKoSmartPtr<IZuInterplayMobAttribute>& item : m_items) item.Clear();
    m_items.clear();
    return S_OK;
}
