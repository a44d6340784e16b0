// Folders, copies, latest versions and headframes.
#include <errno.h>
#include <stdio.h>

#include <atomic>
#include <chrono>
#include <new>
#include <string>

#include "CZuFaultGuard.h"
#include "CZuInterplayAccess.h"
#include "CZuServiceCall.h"
#include "KoWindows.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

using namespace ZuAssets;

namespace {

const char kCreateFolderLine[] = "CZuInterplayUploading::CheckInAAF , __assets__CreateFolder FALSE = %S  ! \n";
const char kDuplicateLine[] = "CZuInterplayUploading::CheckInAAF , __assets__Duplicate FALSE = %S  ! \n";
const char kGetLatestLine[] = "CZuInterplayUploading::CheckInAAF , __assets__GetLatest FALSE = %S  ! \n";

// Last error texts of a fetch whose data cannot be kept.
const char kTextCannotWrite[] = "Cannot write file: ";
const char kTextNoHeadframe[] = "The response holds no headframe";

// Local files are named after the asset's narrowed URI without this many
// leading bytes.
const size_t kURIPrefixBytes = 32;

const char kHeadframeExtension[] = ".jpg";
const char kVersionExtension[] = ".aaf";

// The Win32 error of the C runtime's last failure; never ERROR_SUCCESS.
DWORD RuntimeError() {
    DWORD error = KoWin32ErrorFromErrno(errno);
    return error ? error : ERROR_GEN_FAILURE;
}

// The last error of a failed platform call; never ERROR_SUCCESS.
DWORD LastError() { return GetLastError() ? GetLastError() : ERROR_GEN_FAILURE; }

// Bytes of the first character of text[0, bytes) in the thread's code page
// (a byte that starts no valid character is one of its own).
size_t FirstCharacterBytes(const char* text, size_t bytes) {
    for (size_t length = 1; length < bytes; ++length)
        if (KoWholeCharPrefix(CP_THREAD_ACP, text, bytes, length) != 0) return length;
    return bytes;
}

bool CannotStandInAFileName(unsigned char c) {
    switch (c) {
    case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return true;
    default:
        return c < 0x20;
    }
}

// The local file name of an asset: its narrowed URI without the first 32
// bytes, followed by the extension. Characters that cannot stand in a file
// name (separators among them) become '_', so the name never leads out of its
// folder; double-byte characters are walked over whole, their second byte
// left as it is.
std::string LocalFileName(const std::string& narrowURI, const char* extension) {
    std::string name = narrowURI.size() > kURIPrefixBytes ? narrowURI.substr(kURIPrefixBytes) : std::string();
    for (size_t i = 0; i < name.size();) {
        size_t length = FirstCharacterBytes(name.data() + i, name.size() - i);
        if (length == 1 && CannotStandInAFileName(static_cast<unsigned char>(name[i]))) name[i] = '_';
        i += length;
    }
    return name + extension;
}

// A name for a file being written, unique within the process and unlikely to
// be taken by another.
std::string TemporaryName() {
    static std::atomic<unsigned> counter{0};
    unsigned long long stamp =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char name[64];
    snprintf(name, sizeof name, "~zu%llx-%x.tmp", stamp, counter.fetch_add(1));
    return name;
}

// Writes size bytes into folder + name, creating or replacing the file: the
// bytes go to a new file of the folder first, which then takes the name, so
// the name holds either the former file or all of the new one. The folder is
// not created. Returns ERROR_SUCCESS or the Win32 error that stopped it;
// nothing is left behind on failure.
DWORD WriteLocalFile(const std::string& folder, const std::string& name, const unsigned char* bytes,
                     size_t size) {
    std::string temporary;
    FILE* file = nullptr;
    for (int attempt = 0; attempt < 8 && !file; ++attempt) {
        temporary = folder + TemporaryName();
        file = KoOpenFileA(temporary.c_str(), "wbx");
        if (!file && GetLastError() != ERROR_FILE_EXISTS) return LastError();
    }
    if (!file) return ERROR_FILE_EXISTS;
    DWORD error = ERROR_SUCCESS;
    if (size && fwrite(bytes, 1, size, file) != size) error = RuntimeError();
    if (fclose(file) != 0 && error == ERROR_SUCCESS) error = RuntimeError();
    if (error == ERROR_SUCCESS &&
        !MoveFileExA(temporary.c_str(), (folder + name).c_str(), MOVEFILE_REPLACE_EXISTING))
        error = LastError();
    if (error != ERROR_SUCCESS) DeleteFileA(temporary.c_str());
    return error;
}

} // namespace

HRESULT CZuInterplayAccess::CreateFolder(const wchar_t* folderURI) {
    if (!folderURI) return ZU_E_INVALIDARG;
    return ZuNoThrow([&]() -> HRESULT {
        CZuServiceCall call(m_serviceURL, m_userName, m_password, m_lastErrorText);
        types__CreateFolderType request;
        request.InterplayURI = Narrow(folderURI, ZU_NARROW_URI);
        types__CreateFolderResponseType response;
        return call.Run(&AssetsPortBinding::__assets__CreateFolder, &request, &response,
                        CZuServiceCall::Policy().LogServerError(kCreateFolderLine));
    });
}

HRESULT CZuInterplayAccess::Duplicate(const wchar_t* assetURI, const wchar_t* folderURI,
                                      const wchar_t** newAssetURI) {
    if (!assetURI || !folderURI) return ZU_E_INVALIDARG;
    return ZuNoThrow([&]() -> HRESULT {
        CZuServiceCall call(m_serviceURL, m_userName, m_password, m_lastErrorText);
        types__DuplicateType request;
        request.InterplayFolderURI = Narrow(folderURI, ZU_NARROW_URI);
        request.InterplayAssetURI = Narrow(assetURI, ZU_NARROW_URI);
        types__DuplicateResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__Duplicate, &request, &response,
                              CZuServiceCall::Policy().LogServerError(kDuplicateLine));
        // The copy's URI is handed back after a server error too.
        if (call.GetOutcome() != CZuServiceCall::TRANSPORT_FAILURE && response.InterplayURI && newAssetURI)
            *newAssetURI = HandBack(response.InterplayURI->c_str());
        return hr;
    });
}

HRESULT CZuInterplayAccess::GetHeadframe(const wchar_t* assetURI, const wchar_t** imagePath) {
    if (!assetURI || !imagePath) return ZU_E_INVALIDARG;
    return ZuNoThrow([&]() -> HRESULT {
        const std::string uri = Narrow(assetURI, ZU_NARROW_URI);
        const std::string folder = ZU_TEXT_HEADFRAME_FOLDER;
        const std::string name = LocalFileName(uri, kHeadframeExtension);
        const std::string path = folder + name;

        // A cached image is served as it is, however old.
        HANDLE cached = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (cached != INVALID_HANDLE_VALUE) {
            CloseHandle(cached);
            *imagePath = HandBack(path.c_str());
            return S_OK;
        }

        CZuServiceCall call(m_serviceURL, m_userName, m_password, m_lastErrorText);
        types__GetHeadframeType request;
        request.InterplayURI = uri;
        types__GetHeadframeResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__GetHeadframe, &request, &response,
                              CZuServiceCall::Policy().KeepMessage());
        if (call.GetOutcome() != CZuServiceCall::SUCCESS) return hr;
        // An empty image is no image: the cache would serve it for ever.
        const xsd__base64Binary* image = response.Headframe;
        if (!image || !image->__ptr || image->__size <= 0) {
            m_lastErrorText = kTextNoHeadframe;
            return ZU_E_FAILED;
        }
        if (WriteLocalFile(folder, name, image->__ptr, static_cast<size_t>(image->__size)) != ERROR_SUCCESS) {
            m_lastErrorText = kTextCannotWrite + path;
            return ZU_E_FAILED;
        }
        *imagePath = HandBack(path.c_str());
        return S_OK;
    });
}

HRESULT CZuInterplayAccess::GetLatest(const wchar_t* assetURI, const wchar_t** aafPath) {
    if (!assetURI || !aafPath) return ZU_E_INVALIDARG;
    return CZuFaultGuard::Run(ZU_TEXT_FILE_DAMAGED, [&] {
        const std::string uri = Narrow(assetURI, ZU_NARROW_URI);
        CZuServiceCall call(m_serviceURL, m_userName, m_password, m_lastErrorText);
        types__GetLatestType request;
        request.InterplayURI = uri;
        types__GetLatestResponseType response;
        call.Run(&AssetsPortBinding::__assets__GetLatest, &request, &response,
                 CZuServiceCall::Policy()
                     .LogTransportFailure(ZU_LOG_CHECKINAAF_VALUE, ZU_LOG_CHECKINAAF_FALSE)
                     .LogServerError(kGetLatestLine));
        // A server error is reported through the last error text alone.
        if (call.GetOutcome() == CZuServiceCall::SERVER_ERROR) return;
        // No file (none comes with a failed exchange) is a damaged file.
        if (call.GetOutcome() != CZuServiceCall::SUCCESS || !response.File) CZuFaultGuard::Raise();

        const std::string folder = ZU_TEXT_VERSION_FOLDER;
        const std::string name = LocalFileName(uri, kVersionExtension);
        const xsd__base64Binary* file = response.File;
        size_t size = file->__ptr && file->__size > 0 ? static_cast<size_t>(file->__size) : 0;
        if (WriteLocalFile(folder, name, file->__ptr, size) != ERROR_SUCCESS) {
            m_lastErrorText = kTextCannotWrite + folder + name;
            CZuFaultGuard::Raise();
        }
        *aafPath = HandBack((folder + name).c_str());
    });
}
