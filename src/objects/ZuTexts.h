// The module's fixed texts: log line formats, failure notices with their source
// units and lines, message-box texts and last error texts.
// Kept byte for byte as the system has always written them; some name another operation or keep old typos.
//
// The narrow user-facing ones are stored as GBK (code page 936) bytes, whatever
// the calling thread's code page; the wide ones are the log lines' texts.
#ifndef ZU_TEXTS_H
#define ZU_TEXTS_H

// Last error text after a failed exchange with the service: "the web service
// could not be reached" (20 bytes).
inline constexpr char ZU_TEXT_NO_WEB_SERVICE[] =
    "\xb2\xbb\xc4\xdc\xd5\xfd\xc8\xb7\xbb\xf1\xb5\xc3"
    "web\xb7\xfe\xce\xf1!";

// Last error text after a failed move: "cannot move, the target folder may
// already hold the same file" (34 bytes).
inline constexpr char ZU_TEXT_CANNOT_MOVE[] =
    "\xce\xde\xb7\xa8\xd2\xc6\xb6\xaf,\xc4\xbf\xb1\xea\xc4\xbf\xc2\xbc\xbf\xc9\xc4\xdc\xb4\xe6"
    "\xd4\xda\xcd\xac\xd2\xbb\xce\xc4\xbc\xfe!";

// Message box of a fetch whose work faulted: "this file is damaged".
inline constexpr char ZU_TEXT_FILE_DAMAGED[] = "\xb4\xcb\xce\xc4\xbc\xfe\xd2\xd1\xcb\xf0\xbb\xb5!";

// Message box of a search whose work faulted: "the network connection failed".
inline constexpr char ZU_TEXT_NETWORK_FAILED[] = "\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3\xca\xa7\xb0\xdc!";

// Folder of the cached headframe images (33 bytes).
inline constexpr char ZU_TEXT_HEADFRAME_FOLDER[] =
    "C:\\\xb7\xc7\xb1\xe0\xcf\xb5\xcd\xb3\xc1\xd9\xca\xb1\xce\xc4\xbc\xfe\\\xc1\xd9\xca\xb1\xce\xc4"
    "\xbc\xfe\xc4\xbf\xc2\xbc\\";

// Folder of the fetched versions (24 bytes).
inline constexpr char ZU_TEXT_VERSION_FOLDER[] = R"(c:\Kestrava\ConvertFile\)";

// Second log line of a failed exchange. The check-in, search and attribute
// operations use the first wording, the delete operation the second.
inline constexpr wchar_t ZU_TEXT_W_NO_WEB_SERVICE[] =
    L"Can't get web services, please check your netwotk or interplay web services setup "
    L"successfully!";
inline constexpr wchar_t ZU_TEXT_W_NO_WEB_SERVICE_SETUPED[] =
    L"Can't get web services, please check your netwotk or interplay web services setuped "
    L"successfully!";

// The log lines of a failed exchange that the AAF check-in, the fetch of the
// latest version and the search all write: the code, then the wide text.
inline constexpr char ZU_LOG_CHECKINAAF_VALUE[] =
    "CZuInterplayUploading::CheckInAAF , __assets__CheckInAAF value = %d  ! \n";
inline constexpr char ZU_LOG_CHECKINAAF_FALSE[] =
    "CZuInterplayUploading::CheckInAAF , __assets__CheckInAAF FALSE = %S  ! \n";

// Last error texts of a file that cannot be checked in or kept; the path follows.
inline constexpr char ZU_TEXT_CANNOT_READ[] = "Cannot read file: ";
inline constexpr char ZU_TEXT_TOO_LARGE[] = "File of 2 GiB or more: ";
inline constexpr char ZU_TEXT_CANNOT_WRITE[] = "Cannot write file: ";
// Last error text of a headframe fetch whose response holds no image.
inline constexpr char ZU_TEXT_NO_HEADFRAME[] = "The response holds no headframe";

// Last error text of an operation refused because the service URL is https://
// and this build has no TLS support; nothing was sent.
inline constexpr char ZU_TEXT_NO_TLS[] =
    "HTTPS is not supported by this build: nothing was sent (use an http:// service URL)";

// Last error text of an operation whose response broke a limit on what a
// response may cost (IZuInterplayConnection.h) or was otherwise malformed in
// its sizes.
inline constexpr char ZU_TEXT_RESPONSE_REFUSED[] =
    "The service's response was refused as too large or malformed";

// Log-file line of every failed exchange: the operation, the runtime's code,
// the HTTP status (0: none read), the SOAP fault's code, string and detail
// (empty: no fault) and the runtime's words for its code.
inline constexpr char ZU_LOG_TRANSPORT_FAILURE[] =
    "CZuInterplayAccess::%s , runtime code = %d , HTTP status = %d , fault code = %S , "
    "fault string = %S , fault detail = %S , runtime = %S  ! \n";

// The server's wording for a check-in that went through although it reports
// an error.
inline constexpr char ZU_TEXT_CHECKIN_SUCCEEDED[] = "Although the checkin succeeded";

// Log lines of the operations (category 6044, level 1). %d is the binding's
// code of a failed exchange, %S a wide text.
inline constexpr char ZU_LOG_CHECK_ERROR_INFO[] =
    "CZuInterplayAccess::CheckErrorInfo , wszErrorInfo = %S  ! \n";
inline constexpr char ZU_LOG_CHECKIN_DETAILS[] = "CZuInterplayUploading::CheckInAAF , wszDetails = %S  ! \n";
inline constexpr char ZU_LOG_CREATE_FOLDER[] =
    "CZuInterplayUploading::CheckInAAF , __assets__CreateFolder FALSE = %S  ! \n";
inline constexpr char ZU_LOG_DUPLICATE[] =
    "CZuInterplayUploading::CheckInAAF , __assets__Duplicate FALSE = %S  ! \n";
inline constexpr char ZU_LOG_GET_LATEST[] =
    "CZuInterplayUploading::CheckInAAF , __assets__GetLatest FALSE = %S  ! \n";
inline constexpr char ZU_LOG_GET_CHILDREN[] =
    "CZuInterplayUploading::CheckInAAF , __assets__GetChildren FALSE = %S  ! \n";
inline constexpr char ZU_LOG_DELETE_ASSETS_VALUE[] =
    "CZuInterplayUploading::CheckInAAF , __assets__DeleteAssets value = %d  ! \n";
inline constexpr char ZU_LOG_DELETE_ASSETS_FALSE[] =
    "CZuInterplayUploading::CheckInAAF , __assets__DeleteAssets FALSE = %S  ! \n";
inline constexpr char ZU_LOG_SET_ATTRIBUTES_VALUE[] =
    "CZuInterplayAccess::SetAttributes , __assets__SetAttributes value = %d  ! \n";
inline constexpr char ZU_LOG_SET_ATTRIBUTES_FALSE[] =
    "CZuInterplayAccess::SetAttributes , __assets__SetAttributes FALSE = %S  ! \n";
inline constexpr char ZU_LOG_GET_ATTRIBUTES[] =
    "CZuInterplayUploading::CheckInAAF , __assets__GetAttributes FALSE = %S  ! \n";
inline constexpr char ZU_LOG_GET_LOCATORS[] =
    "CZuInterplayUploading::GetLocators , __assets__GetChildren FALSE = %S  ! \n";
inline constexpr char ZU_LOG_REMOVE_LOCATORS[] =
    "CZuInterplayUploading::RemoveLocators , __assets__RemoveLocators FALSE = %S  ! \n";
inline constexpr char ZU_LOG_SAVE_LOCATORS[] =
    "CZuInterplayUploading::AddLocators , __assets__SaveLocators FALSE = %S  ! \n";

// Log lines of the pooled result objects (category 6017, level 1): the
// object's name, then the pool's counts.
inline constexpr char ZU_LOG_LEAVE_POOL_NODE[] = "CZuInterplayObject::OnLeaveFromPool %S NODE";
inline constexpr char ZU_LOG_LEAVE_POOL_COUNTS[] =
    "CZuInterplayObject::OnLeaveFromPool %S POOL ALLOCATED: %u USED: %u FREE: %u";
inline constexpr char ZU_LOG_RETURN_POOL_NODE[] = "CZuInterplayObject::OnReturnToPool %S NODE";
inline constexpr char ZU_LOG_RETURN_POOL_COUNTS[] =
    "CZuInterplayObject::OnReturnToPool %S POOL ALLOCATED: %u USED: %u FREE: %u";

// Failure notices: the text, and for those that name their place, the source
// unit and line they name (fixed values, whatever the code's own layout).
struct ZuFailureNotice {
    const char* text;
    const char* sourceUnit;
    int line;
};
inline constexpr char ZU_NOTICE_FLUSH_FAILED[] =
    "CZuInterplayObject::OnReturnToPool ERROR ! Failed to flush node";
inline constexpr char ZU_UNIT_OBJECT_MANAGER[] = "src\\CZuInterplayObjectManager";
inline constexpr ZuFailureNotice ZU_NOTICE_GET_TYPED_ELEMENT = {
    "CZuInterplayObjectManager::GetInterplayObject - GetTypedElement failed!", ZU_UNIT_OBJECT_MANAGER, 119};
inline constexpr ZuFailureNotice ZU_NOTICE_ADD_ALLOCATOR_FAILED = {
    "CZuInterplayObjectManager::Initialize - AddAllocatorToPoolManagers failed!", ZU_UNIT_OBJECT_MANAGER,
    172};
inline constexpr ZuFailureNotice ZU_NOTICE_INVALID_ALLOCATOR = {
    "CZuInterplayObjectManager::AddAllocatorToPoolManagers called with invalid in_pIKoPoolAllocator pointer!",
    ZU_UNIT_OBJECT_MANAGER, 199};
inline constexpr ZuFailureNotice ZU_NOTICE_POOL_CREATION_FAILED = {
    "CZuInterplayObjectManager::AddAllocatorToPoolManagers - Pool creation failed. Out of memory!",
    ZU_UNIT_OBJECT_MANAGER, 220};
// The allocators' notice; the source unit is the allocator's own (below).
inline constexpr char ZU_NOTICE_ALLOCATE_FAILED[] = " CZuAexParamAllocator::Allocate() failed ";
inline constexpr int ZU_NOTICE_ALLOCATE_FAILED_LINE = 45;
inline constexpr char ZU_UNIT_ASSET_DESCRIPTION_ALLOCATOR[] = "src\\CZuInterplayAssetDescriptionAllocator";
inline constexpr char ZU_UNIT_ASSETS_DESCRIPTIONS_LIST_ALLOCATOR[] =
    "src\\CZuInterplayAssetsDescriptionsListAllocator";
inline constexpr char ZU_UNIT_MOB_ATTRIBUTE_ALLOCATOR[] = "src\\CZuInterplayMobAttributeAllocator";
inline constexpr char ZU_UNIT_MOB_ATTRIBUTE_LIST_ALLOCATOR[] = "src\\CZuInterplayMobAttributeListAllocator";

static_assert(sizeof(ZU_TEXT_NO_WEB_SERVICE) == 20 + 1, "GBK text of 20 bytes");
static_assert(sizeof(ZU_TEXT_CANNOT_MOVE) == 34 + 1, "GBK text of 34 bytes");
static_assert(sizeof(ZU_TEXT_FILE_DAMAGED) == 13 + 1, "GBK text of 13 bytes");
static_assert(sizeof(ZU_TEXT_NETWORK_FAILED) == 13 + 1, "GBK text of 13 bytes");
static_assert(sizeof(ZU_TEXT_HEADFRAME_FOLDER) == 33 + 1, "GBK text of 33 bytes");
static_assert(sizeof(ZU_TEXT_VERSION_FOLDER) == 24 + 1, "text of 24 bytes");

#endif // ZU_TEXTS_H
