// One marker on an asset's timeline. A locator keeps every value when it goes
// back to its pool; the colour "Blue" and the track "V1" are the values of a
// locator just made. It also answers IZuSpareReference, the note of the spare
// reference CreateMobLocator hands out; the note goes when the locator returns
// to its pool.
#ifndef CZU_INTERPLAY_MOB_LOCATOR_H
#define CZU_INTERPLAY_MOB_LOCATOR_H

#include <stdint.h>

#include <atomic>

#include "CZuInterplayObject.h"
#include "IZuInterplayMobLocator.h"
#include "IZuSpareReference.h"

class CZuInterPlayMobLocator : public CZuInterplayObject,
                               public IZuInterplayMobLocator,
                               public IZuSpareReference {
public:
    explicit CZuInterPlayMobLocator(const wchar_t* objectName);
    ~CZuInterPlayMobLocator() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    // Keeps every value; only the spare reference note goes.
    STDMETHOD(Flush)() override;

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

    STDMETHOD_(void, MarkSpareReference)() override;
    STDMETHOD_(bool, TakeSpareReference)() override;

private:
    int m_locatorID;
    int64_t m_frameNumber;
    wchar_t m_timecode[ZU_LOCATOR_TIMECODE_CCH];
    wchar_t m_username[ZU_LOCATOR_USERNAME_CCH];
    wchar_t m_comment[ZU_LOCATOR_COMMENT_CCH];
    wchar_t m_color[ZU_LOCATOR_COLOR_CCH];
    wchar_t m_track[ZU_LOCATOR_TRACK_CCH];
    std::atomic<bool> m_spareReference;
};

#endif // CZU_INTERPLAY_MOB_LOCATOR_H
