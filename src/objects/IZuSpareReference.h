// The module's own note of a spare reference: CreateMobLocator hands a locator
// out with one reference more than the caller asked for, and AddLocators gives
// that reference back. The note makes sure it is given back once only, and only
// by a locator that really carries it. Not one of the interfaces hosts see.
#ifndef IZU_SPARE_REFERENCE_H
#define IZU_SPARE_REFERENCE_H

#include "KoCom.h"

// {9828A9EF-BC81-4D6E-B68E-173FF4DACB48}
inline constexpr IID IID_IZuSpareReference = {
    0x9828A9EF, 0xBC81, 0x4D6E, {0xB6, 0x8E, 0x17, 0x3F, 0xF4, 0xDA, 0xCB, 0x48}};

struct IZuSpareReference : public IUnknown {
    // Notes that the object was handed out with a spare reference.
    STDMETHOD_(void, MarkSpareReference)() PURE;
    // Whether a spare reference is noted; clears the note. On true the caller
    // releases that reference.
    STDMETHOD_(bool, TakeSpareReference)() PURE;
};

#endif // IZU_SPARE_REFERENCE_H
