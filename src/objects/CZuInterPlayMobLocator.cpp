#include "CZuInterPlayMobLocator.h"

CZuInterPlayMobLocator::CZuInterPlayMobLocator(const wchar_t* objectName)
    : CZuInterplayObject(objectName), m_locatorID(0), m_frameNumber(0), m_spareReference(false) {
    m_timecode[0] = m_username[0] = m_comment[0] = L'\0';
    KoCopyWide(m_color, ZU_LOCATOR_COLOR_CCH, L"Blue");
    KoCopyWide(m_track, ZU_LOCATOR_TRACK_CCH, L"V1");
}

CZuInterPlayMobLocator::~CZuInterPlayMobLocator() = default;

HRESULT CZuInterPlayMobLocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayMobLocator)
        return KoGetInterface(static_cast<IZuInterplayMobLocator*>(this), ppv);
    if (riid == IID_IZuSpareReference) return KoGetInterface(static_cast<IZuSpareReference*>(this), ppv);
    return CZuInterplayObject::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterPlayMobLocator::GetLocatorID(int* out) {
    if (!out) return ZU_E_INVALIDARG;
    *out = m_locatorID;
    return S_OK;
}

HRESULT CZuInterPlayMobLocator::SetLocatorID(int value) {
    m_locatorID = value;
    return S_OK;
}

HRESULT CZuInterPlayMobLocator::GetFrameNumber(int64_t* out) {
    if (!out) return ZU_E_INVALIDARG;
    *out = m_frameNumber;
    return S_OK;
}

HRESULT CZuInterPlayMobLocator::SetFrameNumber(int64_t value) {
    m_frameNumber = value;
    return S_OK;
}

HRESULT CZuInterPlayMobLocator::GetTimecode(const wchar_t** out) { return GetField(m_timecode, out); }
HRESULT CZuInterPlayMobLocator::SetTimecode(const wchar_t* text) { return SetField(m_timecode, text); }
HRESULT CZuInterPlayMobLocator::GetUsername(const wchar_t** out) { return GetField(m_username, out); }
HRESULT CZuInterPlayMobLocator::SetUsername(const wchar_t* text) { return SetField(m_username, text); }
HRESULT CZuInterPlayMobLocator::GetComment(const wchar_t** out) { return GetField(m_comment, out); }
HRESULT CZuInterPlayMobLocator::SetComment(const wchar_t* text) { return SetField(m_comment, text); }
HRESULT CZuInterPlayMobLocator::GetColor(const wchar_t** out) { return GetField(m_color, out); }
HRESULT CZuInterPlayMobLocator::SetColor(const wchar_t* text) { return SetField(m_color, text); }
HRESULT CZuInterPlayMobLocator::GetTrack(const wchar_t** out) { return GetField(m_track, out); }
HRESULT CZuInterPlayMobLocator::SetTrack(const wchar_t* text) { return SetField(m_track, text); }

HRESULT CZuInterPlayMobLocator::Flush() {
    m_spareReference.store(false, std::memory_order_relaxed);
    return CZuInterplayObject::Flush();
}

void CZuInterPlayMobLocator::MarkSpareReference() { m_spareReference.store(true, std::memory_order_relaxed); }

bool CZuInterPlayMobLocator::TakeSpareReference() {
    return m_spareReference.exchange(false, std::memory_order_relaxed);
}
