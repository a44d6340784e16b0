#include "CZuInterplayMobLocatorList.h"

CZuInterplayMobLocatorList::CZuInterplayMobLocatorList(const wchar_t* objectName)
    : CZuInterplayObject(objectName) {}

CZuInterplayMobLocatorList::~CZuInterplayMobLocatorList() = default;

HRESULT CZuInterplayMobLocatorList::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayMobLocatorList)
        return KoGetInterface(static_cast<IZuInterplayMobLocatorList*>(this), ppv);
    return CZuInterplayObject::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayMobLocatorList::Flush() {
    m_items.Clear();
    return S_OK;
}

HRESULT CZuInterplayMobLocatorList::Add(IZuInterplayMobLocator* item) { return m_items.Add(item); }

HRESULT CZuInterplayMobLocatorList::GetCount(int* out) { return m_items.GetCount(out); }

HRESULT CZuInterplayMobLocatorList::GetItem(int index, IZuInterplayMobLocator** out) {
    return m_items.GetItem(index, out, /*addReference=*/false);
}
