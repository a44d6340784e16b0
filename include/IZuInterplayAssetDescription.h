// Asset description (an asset's URI and its attributes) and description list.
#ifndef IZU_INTERPLAY_ASSET_DESCRIPTION_H
#define IZU_INTERPLAY_ASSET_DESCRIPTION_H

#include "IZuInterplayMobAttribute.h"
#include "KoCom.h"

// {E377DF77-AAD1-4C25-B0AF-6114566128A2}
inline constexpr IID IID_IZuInterplayAssetDescription = {
    0xE377DF77, 0xAAD1, 0x4C25, {0xB0, 0xAF, 0x61, 0x14, 0x56, 0x61, 0x28, 0xA2}};
// {CF43B381-01C1-41FA-94CD-BCEE1BC93897}
inline constexpr IID IID_IZuInterplayAssetsDescriptionsList = {
    0xCF43B381, 0x01C1, 0x41FA, {0x94, 0xCD, 0xBC, 0xEE, 0x1B, 0xC9, 0x38, 0x97}};

enum { ZU_ASSET_URI_CCH = 260 };

struct IZuInterplayAssetDescription : public IUnknown {
    STDMETHOD(GetInterplayURI)(const wchar_t** out) PURE;
    // Null: ZU_E_INVALIDARG. A longer text is cut to 259 characters.
    STDMETHOD(SetInterplayURI)(const wchar_t* uri) PURE;
    // No list held: S_FALSE, *out untouched. Otherwise one added reference.
    STDMETHOD(GetAttributeList)(IZuInterplayMobAttributeList** out) PURE;
    // Null: S_FALSE, nothing changes.
    STDMETHOD(SetAttributeList)(IZuInterplayMobAttributeList* list) PURE;
};

struct IZuInterplayAssetsDescriptionsList : public IUnknown {
    STDMETHOD(Add)(IZuInterplayAssetDescription* item) PURE;
    STDMETHOD(GetCount)(int* out) PURE;
    STDMETHOD(GetItem)(int index, IZuInterplayAssetDescription** out) PURE;
};

#endif // IZU_INTERPLAY_ASSET_DESCRIPTION_H
