#include "CZuInterplayMobAttributeList.h"

CZuInterplayMobAttributeList::CZuInterplayMobAttributeList(const wchar_t* objectName)
    : CZuInterplayObject(objectName) {}

CZuInterplayMobAttributeList::~CZuInterplayMobAttributeList() = default;

HRESULT CZuInterplayMobAttributeList::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayMobAttributeList)
        return KoGetInterface(static_cast<IZuInterplayMobAttributeList*>(this), ppv);
    return CZuInterplayObject::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayMobAttributeList::Flush() { return RemoveAll(); }

HRESULT CZuInterplayMobAttributeList::Add(IZuInterplayMobAttribute* item) { return m_items.Add(item); }

HRESULT CZuInterplayMobAttributeList::GetCount(int* out) { return m_items.GetCount(out); }

HRESULT CZuInterplayMobAttributeList::GetItem(int index, IZuInterplayMobAttribute** out) {
    return m_items.GetItem(index, out, /*addReference=*/true);
}

HRESULT CZuInterplayMobAttributeList::Reserved6() { return S_OK; }

HRESULT CZuInterplayMobAttributeList::RemoveAll() {
    m_items.Clear();
    return S_OK;
}
