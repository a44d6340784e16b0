#include "CZuInterplayAssetsDescriptionsList.h"

CZuInterplayAssetsDescriptionsList::CZuInterplayAssetsDescriptionsList(const wchar_t* objectName)
    : CZuInterplayObject(objectName) {}

CZuInterplayAssetsDescriptionsList::~CZuInterplayAssetsDescriptionsList() {}

HRESULT CZuInterplayAssetsDescriptionsList::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayAssetsDescriptionsList)
        return KoGetInterface(static_cast<IZuInterplayAssetsDescriptionsList*>(this), ppv);
    return CZuInterplayObject::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayAssetsDescriptionsList::Flush() {
    // Each description that nothing else holds goes back to its pool here,
    // and takes its attribute list with it.
    for (TKoSmartPtr<IZuInterplayAssetDescription>& item : m_items) item.Clear();
    m_items.clear();
    return S_OK;
}

HRESULT CZuInterplayAssetsDescriptionsList::Add(IZuInterplayAssetDescription* item) {
    if (!item) return S_FALSE;
    try {
        m_items.emplace_back();
    } catch (const std::bad_alloc&) {
        return ZU_E_OUTOFMEMORY;
    }
    m_items.back() = item;
    return S_OK;
}

HRESULT CZuInterplayAssetsDescriptionsList::GetCount(int* out) {
    if (!out) return ZU_E_INVALIDARG;
    *out = static_cast<int>(m_items.size());
    return S_OK;
}

HRESULT CZuInterplayAssetsDescriptionsList::GetItem(int index, IZuInterplayAssetDescription** out) {
    if (!out || index < 0 || static_cast<size_t>(index) >= m_items.size()) return ZU_E_INVALIDARG;
    // Null only while Flush runs.
    if (IZuInterplayAssetDescription* item = m_items[static_cast<size_t>(index)]) {
        item->AddRef();
        *out = item;
    }
    return S_OK;
}
