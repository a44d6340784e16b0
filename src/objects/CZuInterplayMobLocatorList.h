// The locators of one asset, in the order they were added. The list holds a
// reference to each item, but GetItem hands out the list's own pointer
// without adding one.
#ifndef CZU_INTERPLAY_MOB_LOCATOR_LIST_H
#define CZU_INTERPLAY_MOB_LOCATOR_LIST_H

#include "CZuInterplayObject.h"
#include "IZuInterplayMobLocator.h"
#include "TZuItemList.h"

class CZuInterplayMobLocatorList : public CZuInterplayObject, public IZuInterplayMobLocatorList {
public:
    explicit CZuInterplayMobLocatorList(const wchar_t* objectName);
    ~CZuInterplayMobLocatorList() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    // Releases every item; the storage stays for the next use.
    STDMETHOD(Flush)() override;

    // Null: S_FALSE. Otherwise appends with one reference; duplicates allowed.
    STDMETHOD(Add)(IZuInterplayMobLocator* item) override;
    STDMETHOD(GetCount)(int* out) override;
    // The list's own pointer, no reference added. Outside 0 .. count-1:
    // ZU_E_INVALIDARG, *out untouched.
    STDMETHOD(GetItem)(int index, IZuInterplayMobLocator** out) override;

private:
    TZuItemList<IZuInterplayMobLocator> m_items;
};

#endif // CZU_INTERPLAY_MOB_LOCATOR_LIST_H
