// The access object: one creatable COM class through which the editing
// system's modules work with the asset-management server's Assets service.
#ifndef IZU_INTERPLAY_ACCESS_H
#define IZU_INTERPLAY_ACCESS_H

#include <string>

#include "IZuInterplayAssetDescription.h"
#include "IZuInterplayMobAttribute.h"
#include "IZuInterplayMobLocator.h"
#include "KoCom.h"

// {F760A3F0-B7DE-4909-9BB2-630F8E04C828}
inline constexpr CLSID CLSID_ZuInterplayAccess = {
    0xF760A3F0, 0xB7DE, 0x4909, {0x9B, 0xB2, 0x63, 0x0F, 0x8E, 0x04, 0xC8, 0x28}};
// {BD4F9698-92AF-40BE-8205-59812DF627D8}
inline constexpr IID IID_IZuInterplayAccess = {
    0xBD4F9698, 0x92AF, 0x40BE, {0x82, 0x05, 0x59, 0x81, 0x2D, 0xF6, 0x27, 0xD8}};

// Condition kinds of AddSearchCondition.
enum ZuSearchCondition : unsigned {
    ZU_SEARCH_EQUALS = 0,
    ZU_SEARCH_NOT_EQUALS = 1,
    ZU_SEARCH_CONTAINS = 2,
    ZU_SEARCH_NOT_CONTAINS = 3,
    ZU_SEARCH_LESS_THAN = 4,
    ZU_SEARCH_GREATER_THAN = 5,
    ZU_SEARCH_LESS_THAN_OR_EQUAL_TO = 6,
    ZU_SEARCH_GREATER_THAN_OR_EQUAL_TO = 7,
};

// Operator codes of SetSearchOptions.
enum ZuSearchOperator : int {
    ZU_SEARCH_OR = 0,
    ZU_SEARCH_AND = 1,
};

// Wide text handed back through an out-parameter lives in the access object and
// stays valid until the next operation on the same object that hands back text.
// Result objects handed back carry a reference for the caller (two for slots 28
// and 29). Service operations return S_OK, a module code (ZuResultCodes.h) or,
// when the exchange with the server failed, the SOAP runtime's positive code.
struct IZuInterplayAccess : public IUnknown {
    /* 3 */ STDMETHOD(SetCredentials)(const wchar_t* user, const wchar_t* password) PURE;
    /* 4 */ STDMETHOD(SetServiceURL)(const wchar_t* url) PURE;
    /* 5 */ STDMETHOD(CheckIn)(const wchar_t* filePath, const wchar_t* targetURI,
                               IZuInterplayMobAttributeList* attributes) PURE;
    /* 6 */ STDMETHOD(CheckInAAF)(const wchar_t* aafPath, const wchar_t* destinationURI,
                                  IZuInterplayMobAttributeList* attributes,
                                  const wchar_t* headframePath) PURE;
    /* 7 */ STDMETHOD(CreateFolder)(const wchar_t* folderURI) PURE;
    /* 8 */ STDMETHOD(Duplicate)(const wchar_t* assetURI, const wchar_t* folderURI,
                                 const wchar_t** newAssetURI) PURE;
    /* 9 */ STDMETHOD(GetChildren)(const wchar_t* folderURI, bool foldersOnly,
                                   IZuInterplayAssetsDescriptionsList** out) PURE;
    /* 10 */ STDMETHOD(SetAttributes)(const wchar_t* assetURI, IZuInterplayMobAttributeList* attributes) PURE;
    /* 11 */ STDMETHOD(GetAttributes)(const wchar_t* assetURI, IZuInterplayMobAttributeList** out) PURE;
    /* 12 */ STDMETHOD(GetHeadframe)(const wchar_t* assetURI, const wchar_t** imagePath) PURE;
    /* 13 */ STDMETHOD(Reserved13)() PURE;
    /* 14 */ STDMETHOD(GetLatest)(const wchar_t* assetURI, const wchar_t** aafPath) PURE;
    /* 15 */ STDMETHOD(GetLocators)(const wchar_t* assetURI, IZuInterplayMobLocatorList** out) PURE;
    /* 16 */ STDMETHOD(RemoveLocators)(const wchar_t* assetURI, int locatorID) PURE;
    /* 17 */ STDMETHOD(AddLocators)(const wchar_t* assetURI, IZuInterplayMobLocatorList* locators) PURE;
    /* 18 */ STDMETHOD(Move)(const wchar_t* assetURI, const wchar_t* folderURI) PURE;
    /* 19 */ STDMETHOD(ClearDeleteList)() PURE;
    // The pointer is kept, not the text: keep it alive until DeleteAssets ran.
    /* 20 */ STDMETHOD(AddToDeleteList)(const wchar_t* assetURI) PURE;
    /* 21 */ STDMETHOD(DeleteAssets)(bool deleteMedia, bool simulation) PURE;
    /* 22 */ STDMETHOD(GetLastErrorText)(const wchar_t** out) PURE;
    /* 23 */ STDMETHOD(Reserved23)() PURE;
    /* 24 */ STDMETHOD(CreateMobAttribute)(IZuInterplayMobAttribute** out) PURE;
    /* 25 */ STDMETHOD(CreateMobAttributeList)(IZuInterplayMobAttributeList** out) PURE;
    /* 26 */ STDMETHOD(CreateAssetDescription)(IZuInterplayAssetDescription** out) PURE;
    /* 27 */ STDMETHOD(CreateAssetsDescriptionsList)(IZuInterplayAssetsDescriptionsList** out) PURE;
    /* 28 */ STDMETHOD(CreateMobLocator)(IZuInterplayMobLocator** out) PURE;
    /* 29 */ STDMETHOD(CreateMobLocatorList)(IZuInterplayMobLocatorList** out) PURE;
    // Widens into the caller's buffer of bufferChars wide characters; E_FAIL
    // when the text does not fit.
    /* 30 */ STDMETHOD(ToWideString)(std::string narrow, wchar_t* buffer, int bufferChars) PURE;
    // Narrows through a buffer of bufferBytes bytes into *out.
    /* 31 */ STDMETHOD(ToNarrowString)(const wchar_t* wide, std::string* out, int bufferBytes) PURE;
    /* 32 */ STDMETHOD(CheckInAAFEx)(const wchar_t* aafPath, const wchar_t* destinationURI,
                                     IZuInterplayMobAttributeList* attributes, const wchar_t* headframePath,
                                     const wchar_t** newAssetURI) PURE;
    /* 33 */ STDMETHOD(SetSearchOptions)(const wchar_t* searchRoot, int operatorCode, int maxResults) PURE;
    // The attribute is borrowed: keep it alive until the last Search that uses it.
    /* 34 */ STDMETHOD(AddSearchCondition)(unsigned conditionKind, IZuInterplayMobAttribute* condition) PURE;
    /* 35 */ STDMETHOD(Search)(IZuInterplayAssetsDescriptionsList** out) PURE;
    /* 36 */ STDMETHOD(Reserved36)() PURE;
};

#endif // IZU_INTERPLAY_ACCESS_H
