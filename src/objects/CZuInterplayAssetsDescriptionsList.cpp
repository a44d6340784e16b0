#include "CZuInterplayAssetsDescriptionsList.h"

CZuInterplayAssetsDescriptionsList::CZuInterplayAssetsDescriptionsList(const wchar_t* objectName)
    : CZuInterplayObject(objectName) {}

CZuInterplayAssetsDescriptionsList::~CZuInterplayAssetsDescriptionsList() = default;

HRESULT CZuInterplayAssetsDescriptionsList::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayAssetsDescriptionsList)
        return KoGetInterface(static_cast<IZuInterplayAssetsDescriptionsList*>(this), ppv);
    return CZuInterplayObject::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayAssetsDescriptionsList::Flush() {
    // Each description that nothing else holds goes back to its pool here,
    // and takes its attribute list with it.
    m_items.Clear();
    return S_OK;
}

HRESULT CZuInterplayAssetsDescriptionsList::Add(IZuInterplayAssetDescription* item) {
    return m_items.Add(item);
}

HRESULT CZuInterplayAssetsDescriptionsList::GetCount(int* out) { return m_items.GetCount(out); }

HRESULT CZuInterplayAssetsDescriptionsList::GetItem(int index, IZuInterplayAssetDescription** out) {
    return m_items.GetItem(index, out, /*addReference=*/true);
}
