// The module's fixed user-facing texts. The narrow ones are stored as GBK
// (code page 936) bytes, whatever the calling thread's code page; the wide ones
// are the log lines' texts.
#ifndef ZU_TEXTS_H
#define ZU_TEXTS_H

// Last error text after a failed exchange with the service: "the web service
// could not be reached" (20 bytes).
inline constexpr char ZU_TEXT_NO_WEB_SERVICE[] =
    "\xb2\xbb\xc4\xdc\xd5\xfd\xc8\xb7\xbb\xf1\xb5\xc3" "web\xb7\xfe\xce\xf1!";

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
inline constexpr char ZU_TEXT_VERSION_FOLDER[] = "c:\\Kestrava\\ConvertFile\\";

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

static_assert(sizeof(ZU_TEXT_NO_WEB_SERVICE) == 20 + 1, "GBK text of 20 bytes");
static_assert(sizeof(ZU_TEXT_CANNOT_MOVE) == 34 + 1, "GBK text of 34 bytes");
static_assert(sizeof(ZU_TEXT_FILE_DAMAGED) == 13 + 1, "GBK text of 13 bytes");
static_assert(sizeof(ZU_TEXT_NETWORK_FAILED) == 13 + 1, "GBK text of 13 bytes");
static_assert(sizeof(ZU_TEXT_HEADFRAME_FOLDER) == 33 + 1, "GBK text of 33 bytes");
static_assert(sizeof(ZU_TEXT_VERSION_FOLDER) == 24 + 1, "text of 24 bytes");

#endif // ZU_TEXTS_H
