// The attributes of one asset, in the order they were added. The list holds a
// reference to each item; returning the list to its pool releases them.
#ifndef CZU_INTERPLAY_MOB_ATTRIBUTE_LIST_H
#define CZU_INTERPLAY_MOB_ATTRIBUTE_LIST_H

#include "CZuInterplayObject.h"
#include "IZuInterplayMobAttribute.h"
#include "TZuItemList.h"

class CZuInterplayMobAttributeList : public CZuInterplayObject, public IZuInterplayMobAttributeList {
public:
    explicit CZuInterplayMobAttributeList(const wchar_t* objectName);
    ~CZuInterplayMobAttributeList() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    // Releases every item; the storage stays for the next use.
    STDMETHOD(Flush)() override;

    // Null: S_FALSE. Otherwise appends with one reference; duplicates allowed.
    STDMETHOD(Add)(IZuInterplayMobAttribute* item) override;
    STDMETHOD(GetCount)(int* out) override;
    // One reference for the caller. Outside 0 .. count-1: ZU_E_INVALIDARG,
    // *out untouched.
    STDMETHOD(GetItem)(int index, IZuInterplayMobAttribute** out) override;
    STDMETHOD(Reserved6)() override;
    // Releases every item in index order, then empties the list.
    STDMETHOD(RemoveAll)() override;

private:
    TZuItemList<IZuInterplayMobAttribute> m_items;
};

#endif // CZU_INTERPLAY_MOB_ATTRIBUTE_LIST_H
