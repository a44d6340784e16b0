// Mob locator (a marker on an asset's timeline) and locator list.
#ifndef IZU_INTERPLAY_MOB_LOCATOR_H
#define IZU_INTERPLAY_MOB_LOCATOR_H

#include "KoCom.h"

// {7BA05C50-6B3C-49BA-96B9-5B1FA2812080}
inline constexpr IID IID_IZuInterplayMobLocator = {
    0x7BA05C50, 0x6B3C, 0x49BA, {0x96, 0xB9, 0x5B, 0x1F, 0xA2, 0x81, 0x20, 0x80}};
// {A6C3F904-5E33-4D6C-A58C-AC80327B739A}
inline constexpr IID IID_IZuInterplayMobLocatorList = {
    0xA6C3F904, 0x5E33, 0x4D6C, {0xA5, 0x8C, 0xAC, 0x80, 0x32, 0x7B, 0x73, 0x9A}};

// Field capacities in wide characters, terminator included.
enum {
    ZU_LOCATOR_TIMECODE_CCH = 30,
    ZU_LOCATOR_USERNAME_CCH = 260,
    ZU_LOCATOR_COMMENT_CCH = 260,
    ZU_LOCATOR_COLOR_CCH = 20,
    ZU_LOCATOR_TRACK_CCH = 10,
};

struct IZuInterplayMobLocator : public IUnknown {
    STDMETHOD(GetLocatorID)(int* out) PURE;
    STDMETHOD(SetLocatorID)(int value) PURE;
    STDMETHOD(GetFrameNumber)(int64_t* out) PURE;
    STDMETHOD(SetFrameNumber)(int64_t value) PURE;
    STDMETHOD(GetTimecode)(const wchar_t** out) PURE;
    STDMETHOD(SetTimecode)(const wchar_t* text) PURE;
    STDMETHOD(GetUsername)(const wchar_t** out) PURE;
    STDMETHOD(SetUsername)(const wchar_t* text) PURE;
    STDMETHOD(GetComment)(const wchar_t** out) PURE;
    STDMETHOD(SetComment)(const wchar_t* text) PURE;
    STDMETHOD(GetColor)(const wchar_t** out) PURE;
    STDMETHOD(SetColor)(const wchar_t* text) PURE;
    STDMETHOD(GetTrack)(const wchar_t** out) PURE;
    STDMETHOD(SetTrack)(const wchar_t* text) PURE;
};

struct IZuInterplayMobLocatorList : public IUnknown {
    STDMETHOD(Add)(IZuInterplayMobLocator* item) PURE;
    STDMETHOD(GetCount)(int* out) PURE;
    // The list's own pointer: no reference is added.
    STDMETHOD(GetItem)(int index, IZuInterplayMobLocator** out) PURE;
};

#endif // IZU_INTERPLAY_MOB_LOCATOR_H
