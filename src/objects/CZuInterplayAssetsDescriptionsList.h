// The assets a browse or a search found, in the order they were added. The
// list holds a reference to each description; returning the list to its pool
// releases them.
#ifndef CZU_INTERPLAY_ASSETS_DESCRIPTIONS_LIST_H
#define CZU_INTERPLAY_ASSETS_DESCRIPTIONS_LIST_H

#include "CZuInterplayObject.h"
#include "IZuInterplayAssetDescription.h"
#include "TZuItemList.h"

class CZuInterplayAssetsDescriptionsList : public CZuInterplayObject,
                                           public IZuInterplayAssetsDescriptionsList {
public:
    explicit CZuInterplayAssetsDescriptionsList(const wchar_t* objectName);
    ~CZuInterplayAssetsDescriptionsList() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    // Releases every item; the storage stays for the next use.
    STDMETHOD(Flush)() override;

    // Null: S_FALSE. Otherwise appends with one reference; duplicates allowed.
    STDMETHOD(Add)(IZuInterplayAssetDescription* item) override;
    STDMETHOD(GetCount)(int* out) override;
    // One reference for the caller. Outside 0 .. count-1: ZU_E_INVALIDARG,
    // *out untouched.
    STDMETHOD(GetItem)(int index, IZuInterplayAssetDescription** out) override;

private:
    TZuItemList<IZuInterplayAssetDescription> m_items;
};

#endif // CZU_INTERPLAY_ASSETS_DESCRIPTIONS_LIST_H
