// The access object: the module's one creatable class. It keeps the service
// settings and hands every operation of the Assets service to the host.
#ifndef CZU_INTERPLAY_ACCESS_H
#define CZU_INTERPLAY_ACCESS_H

#include <string>
#include <vector>

#include "CKoUnknown.h"
#include "CZuConnectionSettings.h"
#include "CZuTransportReport.h"
#include "IZuInterplayAccess.h"
#include "IZuInterplayConnection.h"
#include "IZuInterplayObject.h"
#include "TKoSmartPtr.h"

class CZuServiceCall;

namespace ZuAssets {
class types__AttributeListType;
class types__AssetDescriptionListType;
} // namespace ZuAssets

// Narrowing buffer sizes, in bytes.
enum {
    ZU_NARROW_GROUP = 16,
    ZU_NARROW_NAME = 128,
    ZU_NARROW_CREDENTIAL = 128,
    ZU_NARROW_URL = 256,
    ZU_NARROW_URI = 260,
};
// Widening buffer sizes, in wide characters.
enum {
    ZU_WIDE_TEXT = 260,
    ZU_WIDE_ERROR_TEXT = 256,
};

class CZuInterplayAccess : public IZuInterplayAccess, public IZuInterplayConnection, public CKoUnknown {
public:
    explicit CZuInterplayAccess(IUnknown* outer);
    ~CZuInterplayAccess() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;

    // Settings and small slots (CZuInterplayAccess.cpp).
    STDMETHOD(SetCredentials)(const wchar_t* user, const wchar_t* password) override;
    STDMETHOD(SetServiceURL)(const wchar_t* url) override;
    STDMETHOD(Reserved13)() override;
    STDMETHOD(ClearDeleteList)() override;
    STDMETHOD(AddToDeleteList)(const wchar_t* assetURI) override;
    STDMETHOD(GetLastErrorText)(const wchar_t** out) override;
    STDMETHOD(Reserved23)() override;
    STDMETHOD(ToWideString)(std::string narrow, wchar_t* buffer, int bufferChars) override;
    STDMETHOD(ToNarrowString)(const wchar_t* wide, std::string* out, int bufferBytes) override;
    STDMETHOD(Reserved36)() override;

    // Check-in (CZuInterplayAccess_CheckIn.cpp).
    STDMETHOD(CheckIn)
    (const wchar_t* filePath, const wchar_t* targetURI, IZuInterplayMobAttributeList* attributes) override;
    STDMETHOD(CheckInAAF)
    (const wchar_t* aafPath, const wchar_t* destinationURI, IZuInterplayMobAttributeList* attributes,
     const wchar_t* headframePath) override;
    STDMETHOD(CheckInAAFEx)
    (const wchar_t* aafPath, const wchar_t* destinationURI, IZuInterplayMobAttributeList* attributes,
     const wchar_t* headframePath, const wchar_t** newAssetURI) override;

    // Folders, copies, versions and headframes (CZuInterplayAccess_Folders.cpp).
    STDMETHOD(CreateFolder)(const wchar_t* folderURI) override;
    STDMETHOD(Duplicate)
    (const wchar_t* assetURI, const wchar_t* folderURI, const wchar_t** newAssetURI) override;
    STDMETHOD(GetHeadframe)(const wchar_t* assetURI, const wchar_t** imagePath) override;
    STDMETHOD(GetLatest)(const wchar_t* assetURI, const wchar_t** aafPath) override;

    // Move and delete (CZuInterplayAccess_MoveDelete.cpp).
    STDMETHOD(Move)(const wchar_t* assetURI, const wchar_t* folderURI) override;
    STDMETHOD(DeleteAssets)(bool deleteMedia, bool simulation) override;

    // Attributes (CZuInterplayAccess_Attributes.cpp).
    STDMETHOD(SetAttributes)(const wchar_t* assetURI, IZuInterplayMobAttributeList* attributes) override;
    STDMETHOD(GetAttributes)(const wchar_t* assetURI, IZuInterplayMobAttributeList** out) override;

    // Locators (CZuInterplayAccess_Locators.cpp).
    STDMETHOD(GetLocators)(const wchar_t* assetURI, IZuInterplayMobLocatorList** out) override;
    STDMETHOD(RemoveLocators)(const wchar_t* assetURI, int locatorID) override;
    STDMETHOD(AddLocators)(const wchar_t* assetURI, IZuInterplayMobLocatorList* locators) override;

    // Browsing and search (CZuInterplayAccess_Browse.cpp).
    STDMETHOD(GetChildren)
    (const wchar_t* folderURI, bool foldersOnly, IZuInterplayAssetsDescriptionsList** out) override;
    STDMETHOD(SetSearchOptions)(const wchar_t* searchRoot, int operatorCode, int maxResults) override;
    STDMETHOD(AddSearchCondition)(unsigned conditionKind, IZuInterplayMobAttribute* condition) override;
    STDMETHOD(Search)(IZuInterplayAssetsDescriptionsList** out) override;

    // Empty result objects from the pools (CZuInterplayAccess_Objects.cpp).
    STDMETHOD(CreateMobAttribute)(IZuInterplayMobAttribute** out) override;
    STDMETHOD(CreateMobAttributeList)(IZuInterplayMobAttributeList** out) override;
    STDMETHOD(CreateAssetDescription)(IZuInterplayAssetDescription** out) override;
    STDMETHOD(CreateAssetsDescriptionsList)(IZuInterplayAssetsDescriptionsList** out) override;
    STDMETHOD(CreateMobLocator)(IZuInterplayMobLocator** out) override;
    STDMETHOD(CreateMobLocatorList)(IZuInterplayMobLocatorList** out) override;

    // Connection settings and the last exchange (CZuInterplayAccess_Connection.cpp).
    STDMETHOD(SetTimeouts)(ULONG connectMs, ULONG idleMs, ULONG callMs) override;
    STDMETHOD(GetTimeouts)(ULONG* connectMs, ULONG* idleMs, ULONG* callMs) override;
    STDMETHOD(SetTrustedCertificates)(const wchar_t* caFile) override;
    STDMETHOD(GetTrustedCertificates)(wchar_t* buffer, int bufferChars, int* neededChars) override;
    STDMETHOD(SetVerifyServer)(bool verify) override;
    STDMETHOD(GetVerifyServer)(bool* verify) override;
    STDMETHOD(GetLastTransportError)(int* runtimeCode, int* httpStatus) override;
    STDMETHOD(GetLastTransportText)(int kind, wchar_t* buffer, int bufferChars, int* neededChars) override;
    STDMETHOD(SetResponseLimit)(ULONG bytes) override;
    STDMETHOD(GetResponseLimit)(ULONG* bytes) override;

    // Narrows wide text through a buffer of bufferBytes bytes, in the thread's
    // code page; a longer text is cut at a whole character.
    static std::string Narrow(const wchar_t* text, size_t bufferBytes);
    // Widens into a buffer of bufferChars wide characters; a longer text is cut.
    static void Widen(const char* text, wchar_t* buffer, size_t bufferChars);

    // Widens text into the returned-text buffer and gives its address.
    const wchar_t* HandBack(const char* text);

private:
    friend class CZuInterplayAccessTestPeer;

    // Opens one exchange with the service: the stored service URL, user name
    // and password; the last error text is the object's.
    CZuServiceCall OpenCall();

    // Creates the object manager and its pools (CZuInterplayAccess_Objects.cpp).
    void CreateObjectManager();
    HRESULT CheckErrorInfo(const std::string& message, const std::string& details);

    // --- Check-in (CZuInterplayAccess_CheckIn.cpp) ---
    // The AAF check-in of slots 6 (extended false: texts of attributes cut to
    // their buffers, the new URI always stored) and 32 (extended true).
    HRESULT CheckInAAFCommon(const wchar_t* aafPath, const wchar_t* destinationURI,
                             IZuInterplayMobAttributeList* attributes, const wchar_t* headframePath,
                             bool extended, const wchar_t** newAssetURI);
    // --- end of check-in ---

    // Packing responses into result objects (attributes, browsing and search).
    // Each takes its objects through the creation slots and stops at the first
    // that cannot be had, returning that failure; what it built so far is then
    // released again.
    //   Adds one attribute per types:Attribute of from (null: none), in order,
    //   to list (CZuInterplayAccess_Attributes.cpp).
    HRESULT PackAttributes(const ZuAssets::types__AttributeListType* from,
                           IZuInterplayMobAttributeList* list);
    //   A new description list with one description per types:AssetDescription
    //   of from (null: none), in order, into *out; *out is written only on
    //   success (CZuInterplayAccess_Browse.cpp).
    HRESULT PackDescriptions(const ZuAssets::types__AssetDescriptionListType* from,
                             IZuInterplayAssetsDescriptionsList** out);

    std::string m_userName;
    std::string m_password;
    std::string m_lastErrorText;
    std::string m_serviceURL;
    std::string m_lastCheckedInURI;
    TKoSmartPtr<IZuInterplayObjectManager> m_objectManager;
    std::vector<const wchar_t*> m_deleteList;
    wchar_t m_searchRoot[260];
    std::string m_searchOperator;
    int m_searchLimit;
    std::vector<std::string> m_searchConditionOperators;
    std::vector<IZuInterplayMobAttribute*> m_searchConditionAttributes;
    wchar_t m_returnedText[260];
    // Ours, beyond the fields every host knows: IZuInterplayConnection.
    CZuConnectionSettings m_connection;
    CZuTransportReport m_lastTransport;
};

// Creates an access object for the class factory: *result is set to S_OK; the
// object's non-delegating unknown, or null when memory ran out.
CKoUnknown* CreateAccessObject(IUnknown* outer, HRESULT* result);

#endif // CZU_INTERPLAY_ACCESS_H
