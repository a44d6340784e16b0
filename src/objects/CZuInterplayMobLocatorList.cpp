#include "CZuInterplayMobLocatorList.h"

CZuInterplayMobLocatorList::CZuInterplayMobLocatorList(const wchar_t* objectName)
    : CZuInterplayObject(objectName) {}

CZuInterplayMobLocatorList::~CZuInterplayMobLocatorList() {}

HRESULT CZuInterplayMobLocatorList::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayMobLocatorList)
        return KoGetInterface(static_cast<IZuInterplayMobLocatorList*>(this), ppv);
    return CZuInterplayObject::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayMobLocatorList::Flush() {
    for (TKoSmartPtr<IZuInterplayMobLocator>& item : m_items) item.Clear();
    m_items.clear();
    return S_OK;
}

HRESULT CZuInterplayMobLocatorList::Add(IZuInterplayMobLocator* item) {
    if (!item) return S_FALSE;
    try {
        m_items.emplace_back();
    } catch (const std::bad_alloc&) {
        return ZU_E_OUTOFMEMORY;
    }
    m_items.back() = item;
    return S_OK;
}

HRESULT CZuInterplayMobLocatorList::GetCount(int* out) {
    if (!out) return ZU_E_INVALIDARG;
    *out = static_cast<int>(m_items.size());
    return S_OK;
}

HRESULT CZuInterplayMobLocatorList::GetItem(int index, IZuInterplayMobLocator** out) {
    if (!out || index < 0 || static_cast<size_t>(index) >= m_items.size()) return ZU_E_INVALIDARG;
    // Null only while Flush runs.
    if (IZuInterplayMobLocator* item = m_items[static_cast<size_t>(index)]) *out = item;
    return S_OK;
}
