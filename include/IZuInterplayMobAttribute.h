// Mob attribute (group, name, value) and attribute list.
#ifndef IZU_INTERPLAY_MOB_ATTRIBUTE_H
#define IZU_INTERPLAY_MOB_ATTRIBUTE_H

#include "KoCom.h"

// {4E7BD114-2B25-4BFD-B009-10C2214ECBEE}
inline constexpr IID IID_IZuInterplayMobAttribute = {
    0x4E7BD114, 0x2B25, 0x4BFD, {0xB0, 0x09, 0x10, 0xC2, 0x21, 0x4E, 0xCB, 0xEE}};
// {47B62CCD-CC3C-4D27-86E1-0078C1C623CA}
inline constexpr IID IID_IZuInterplayMobAttributeList = {
    0x47B62CCD, 0xCC3C, 0x4D27, {0x86, 0xE1, 0x00, 0x78, 0xC1, 0xC6, 0x23, 0xCA}};

// Field capacities in wide characters, terminator included.
enum {
    ZU_ATTRIBUTE_VALUE_CCH = 260,
    ZU_ATTRIBUTE_GROUP_CCH = 16,
    ZU_ATTRIBUTE_NAME_CCH = 128,
};

struct IZuInterplayMobAttribute : public IUnknown {
    // Getters hand out pointers into the object, valid until the matching
    // setter is called or the object is released.
    STDMETHOD(GetValue)(const wchar_t** out) PURE;
    // Null: ZU_E_INVALIDARG. A longer text is cut to the field.
    STDMETHOD(SetValue)(const wchar_t* text) PURE;
    STDMETHOD(GetGroup)(const wchar_t** out) PURE;
    STDMETHOD(SetGroup)(const wchar_t* text) PURE;
    STDMETHOD(GetName)(const wchar_t** out) PURE;
    STDMETHOD(SetName)(const wchar_t* text) PURE;
};

struct IZuInterplayMobAttributeList : public IUnknown {
    // Null: S_FALSE. Otherwise appends with one added reference.
    STDMETHOD(Add)(IZuInterplayMobAttribute* item) PURE;
    STDMETHOD(GetCount)(int* out) PURE;
    // The item with one added reference for the caller; an index outside
    // 0 .. count-1 gives ZU_E_INVALIDARG.
    STDMETHOD(GetItem)(int index, IZuInterplayMobAttribute** out) PURE;
    STDMETHOD(Reserved6)() PURE;
    STDMETHOD(RemoveAll)() PURE;
};

#endif // IZU_INTERPLAY_MOB_ATTRIBUTE_H
