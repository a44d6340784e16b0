// Base interface of every pooled result object, and the object manager that
// hands them out by kind.
#ifndef IZU_INTERPLAY_OBJECT_H
#define IZU_INTERPLAY_OBJECT_H

#include "KoCom.h"

// {C22C4EBB-C47F-4758-8584-FD74107912BD}
inline constexpr IID IID_IZuInterplayObject = {
    0xC22C4EBB, 0xC47F, 0x4758, {0x85, 0x84, 0xFD, 0x74, 0x10, 0x79, 0x12, 0xBD}};
// {A321DDF8-BBA8-429F-BB36-B4A36B3FD819}
inline constexpr IID IID_IZuInterplayObjectManager = {
    0xA321DDF8, 0xBBA8, 0x429F, {0xBB, 0x36, 0xB4, 0xA3, 0x6B, 0x3F, 0xD8, 0x19}};

// Result object kinds, as GetInterplayObject takes them.
enum ZuInterplayObjectKind : unsigned {
    ZU_KIND_ASSET_DESCRIPTION = 0,
    ZU_KIND_ASSETS_DESCRIPTIONS_LIST = 1,
    ZU_KIND_MOB_ATTRIBUTE = 2,
    ZU_KIND_MOB_ATTRIBUTE_LIST = 3,
    ZU_KIND_MOB_LOCATOR = 4,
    ZU_KIND_MOB_LOCATOR_LIST = 5,
};

struct IZuInterplayObject : public IUnknown {
    // Empties the object; called each time it goes back to its pool.
    STDMETHOD(Flush)() PURE;
    STDMETHOD(Reserved4)() PURE;
};

struct IZuInterplayObjectManager : public IUnknown {
    // An object of the kind with one reference for the caller; ZU_E_FAILED when
    // no pool serves the kind, else the pool's own failure.
    STDMETHOD(GetInterplayObject)(unsigned kind, IZuInterplayObject** out) PURE;
    STDMETHOD(Initialize)() PURE;
};

#endif // IZU_INTERPLAY_OBJECT_H
