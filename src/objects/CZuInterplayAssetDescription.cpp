#include "CZuInterplayAssetDescription.h"

CZuInterplayAssetDescription::CZuInterplayAssetDescription(const wchar_t* objectName)
    : CZuInterplayObject(objectName) {
    m_uri[0] = L'\0';
}

CZuInterplayAssetDescription::~CZuInterplayAssetDescription() = default;

HRESULT CZuInterplayAssetDescription::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayAssetDescription)
        return KoGetInterface(static_cast<IZuInterplayAssetDescription*>(this), ppv);
    return CZuInterplayObject::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayAssetDescription::Flush() {
    m_attributes.Clear();
    return S_OK;
}

HRESULT CZuInterplayAssetDescription::GetInterplayURI(const wchar_t** out) { return GetField(m_uri, out); }

HRESULT CZuInterplayAssetDescription::SetInterplayURI(const wchar_t* uri) { return SetField(m_uri, uri); }

HRESULT CZuInterplayAssetDescription::GetAttributeList(IZuInterplayMobAttributeList** out) {
    if (!out) return ZU_E_INVALIDARG;
    IZuInterplayMobAttributeList* list = m_attributes;
    if (!list) return S_FALSE;
    list->AddRef();
    *out = list;
    return S_OK;
}

HRESULT CZuInterplayAssetDescription::SetAttributeList(IZuInterplayMobAttributeList* list) {
    if (!list) return S_FALSE;
    m_attributes = list;
    return S_OK;
}
