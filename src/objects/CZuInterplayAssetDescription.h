// One asset found on the server: its URI and, optionally, its attribute list.
// A return to the pool drops the attribute list and keeps the URI.
#ifndef CZU_INTERPLAY_ASSET_DESCRIPTION_H
#define CZU_INTERPLAY_ASSET_DESCRIPTION_H

#include "CZuInterplayObject.h"
#include "IZuInterplayAssetDescription.h"
#include "TKoSmartPtr.h"

class CZuInterplayAssetDescription : public CZuInterplayObject, public IZuInterplayAssetDescription {
public:
    explicit CZuInterplayAssetDescription(const wchar_t* objectName);
    ~CZuInterplayAssetDescription() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    // Releases the attribute list; the URI stays.
    STDMETHOD(Flush)() override;

    STDMETHOD(GetInterplayURI)(const wchar_t** out) override;
    // Null: ZU_E_INVALIDARG, nothing changes. A longer text is cut to 259
    // characters.
    STDMETHOD(SetInterplayURI)(const wchar_t* uri) override;
    // No list held: S_FALSE, *out untouched. Otherwise one reference for the
    // caller.
    STDMETHOD(GetAttributeList)(IZuInterplayMobAttributeList** out) override;
    // Null: S_FALSE, the list held stays. Otherwise holds the new list and
    // releases the old one.
    STDMETHOD(SetAttributeList)(IZuInterplayMobAttributeList* list) override;

private:
    wchar_t m_uri[ZU_ASSET_URI_CCH];
    TKoSmartPtr<IZuInterplayMobAttributeList> m_attributes;
};

#endif // CZU_INTERPLAY_ASSET_DESCRIPTION_H
