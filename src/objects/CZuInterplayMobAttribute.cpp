#include "CZuInterplayMobAttribute.h"

CZuInterplayMobAttribute::CZuInterplayMobAttribute(const wchar_t* objectName)
    : CZuInterplayObject(objectName) {
    m_value[0] = m_group[0] = m_name[0] = L'\0';
}

CZuInterplayMobAttribute::~CZuInterplayMobAttribute() = default;

HRESULT CZuInterplayMobAttribute::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayMobAttribute)
        return KoGetInterface(static_cast<IZuInterplayMobAttribute*>(this), ppv);
    return CZuInterplayObject::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayMobAttribute::Flush() {
    m_value[0] = m_group[0] = m_name[0] = L'\0';
    return S_OK;
}

HRESULT CZuInterplayMobAttribute::GetValue(const wchar_t** out) { return GetField(m_value, out); }
HRESULT CZuInterplayMobAttribute::SetValue(const wchar_t* text) { return SetField(m_value, text); }
HRESULT CZuInterplayMobAttribute::GetGroup(const wchar_t** out) { return GetField(m_group, out); }
HRESULT CZuInterplayMobAttribute::SetGroup(const wchar_t* text) { return SetField(m_group, text); }
HRESULT CZuInterplayMobAttribute::GetName(const wchar_t** out) { return GetField(m_name, out); }
HRESULT CZuInterplayMobAttribute::SetName(const wchar_t* text) { return SetField(m_name, text); }
