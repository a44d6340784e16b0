// One named value of an asset: value, attribute group and name, each in a
// fixed field. Blank when made and after every return to its pool.
#ifndef CZU_INTERPLAY_MOB_ATTRIBUTE_H
#define CZU_INTERPLAY_MOB_ATTRIBUTE_H

#include "CZuInterplayObject.h"
#include "IZuInterplayMobAttribute.h"

class CZuInterplayMobAttribute : public CZuInterplayObject, public IZuInterplayMobAttribute {
public:
    explicit CZuInterplayMobAttribute(const wchar_t* objectName);
    ~CZuInterplayMobAttribute() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;
    // Blanks all three texts.
    STDMETHOD(Flush)() override;

    // Setters: null text gives ZU_E_INVALIDARG and changes nothing; a longer
    // text is cut to the field.
    STDMETHOD(GetValue)(const wchar_t** out) override;
    STDMETHOD(SetValue)(const wchar_t* text) override;
    STDMETHOD(GetGroup)(const wchar_t** out) override;
    STDMETHOD(SetGroup)(const wchar_t* text) override;
    STDMETHOD(GetName)(const wchar_t** out) override;
    STDMETHOD(SetName)(const wchar_t* text) override;

private:
    wchar_t m_value[ZU_ATTRIBUTE_VALUE_CCH];
    wchar_t m_group[ZU_ATTRIBUTE_GROUP_CCH];
    wchar_t m_name[ZU_ATTRIBUTE_NAME_CCH];
};

#endif // CZU_INTERPLAY_MOB_ATTRIBUTE_H
