// One marker on an asset's timeline. A locator keeps every value when it goes
// back to its pool; the colour "Blue" and the track "V1" are the values of a
// locator just made.
#ifndef CZU_INTERPLAY_MOB_LOCATOR_H
#define CZU_INTERPLAY_MOB_LOCATOR_H

#include <stdint.h>

#include "CZuInterplayObject.h"
#include "IZuInterplayMobLocator.h"

class CZuInterPlayMobLocator : public CZuInterplayObject, public IZuInterplayMobLocator {
public:
    explicit CZuInterPlayMobLocator(const wchar_t* objectName);
    ~CZuInterPlayMobLocator() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    // Keeps everything: Flush is the base's.

    // Null out-pointers and null texts give ZU_E_INVALIDARG and change
    // nothing; a longer text is cut to its field.
    STDMETHOD(GetLocatorID)(int* out) override;
    STDMETHOD(SetLocatorID)(int value) override;
    STDMETHOD(GetFrameNumber)(int64_t* out) override;
    STDMETHOD(SetFrameNumber)(int64_t value) override;
    STDMETHOD(GetTimecode)(const wchar_t** out) override;
    STDMETHOD(SetTimecode)(const wchar_t* text) override;
    STDMETHOD(GetUsername)(const wchar_t** out) override;
    STDMETHOD(SetUsername)(const wchar_t* text) override;
    STDMETHOD(GetComment)(const wchar_t** out) override;
    STDMETHOD(SetComment)(const wchar_t* text) override;
    STDMETHOD(GetColor)(const wchar_t** out) override;
    STDMETHOD(SetColor)(const wchar_t* text) override;
    STDMETHOD(GetTrack)(const wchar_t** out) override;
    STDMETHOD(SetTrack)(const wchar_t* text) override;

private:
    int m_locatorID;
    int64_t m_frameNumber;
    wchar_t m_timecode[ZU_LOCATOR_TIMECODE_CCH];
    wchar_t m_username[ZU_LOCATOR_USERNAME_CCH];
    wchar_t m_comment[ZU_LOCATOR_COMMENT_CCH];
    wchar_t m_color[ZU_LOCATOR_COLOR_CCH];
    wchar_t m_track[ZU_LOCATOR_TRACK_CCH];
};

#endif // CZU_INTERPLAY_MOB_LOCATOR_H
