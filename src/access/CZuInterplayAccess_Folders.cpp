// Folders, copies, latest versions and headframes.
#include <string>

#include "CZuFaultGuard.h"
#include "CZuInterplayAccess.h"
#include "CZuLocalFileCache.h"
#include "CZuServiceCall.h"
#include "KoResult.h"
#include "KoWindows.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

using namespace ZuAssets;

namespace {

const char kHeadframeExtension[] = ".jpg";
const char kVersionExtension[] = ".aaf";

} // namespace

HRESULT CZuInterplayAccess::CreateFolder(const wchar_t* folderURI) {
    if (!folderURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        CZuServiceCall call = OpenCall();
        types__CreateFolderType request;
        request.InterplayURI = Narrow(folderURI, ZU_NARROW_URI);
        types__CreateFolderResponseType response;
        return call.Run(&AssetsPortBinding::__assets__CreateFolder, &request, &response,
                        CZuServiceCall::Policy().LogServerError(ZU_LOG_CREATE_FOLDER));
    });
}

HRESULT CZuInterplayAccess::Duplicate(const wchar_t* assetURI, const wchar_t* folderURI,
                                      const wchar_t** newAssetURI) {
    if (!assetURI || !folderURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        CZuServiceCall call = OpenCall();
        types__DuplicateType request;
        request.InterplayFolderURI = Narrow(folderURI, ZU_NARROW_URI);
        request.InterplayAssetURI = Narrow(assetURI, ZU_NARROW_URI);
        types__DuplicateResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__Duplicate, &request, &response,
                              CZuServiceCall::Policy().LogServerError(ZU_LOG_DUPLICATE));
        // The copy's URI is handed back after a server error too.
        if (call.GetOutcome() != CZuServiceCall::TRANSPORT_FAILURE && response.InterplayURI && newAssetURI)
            *newAssetURI = HandBack(response.InterplayURI->c_str());
        return hr;
    });
}

HRESULT CZuInterplayAccess::GetHeadframe(const wchar_t* assetURI, const wchar_t** imagePath) {
    if (!assetURI || !imagePath) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        const std::string uri = Narrow(assetURI, ZU_NARROW_URI);
        const std::string folder = ZU_TEXT_HEADFRAME_FOLDER;
        const std::string name = CZuLocalFileCache::FileName(uri, kHeadframeExtension);
        const std::string path = folder + name;

        // A cached image is served as it is, however old.
        HANDLE cached = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (cached != INVALID_HANDLE_VALUE) {
            CloseHandle(cached);
            *imagePath = HandBack(path.c_str());
            return S_OK;
        }

        // The image goes to a new file of the folder as it arrives, and takes
        // the name once the whole response was read and found good.
        CZuLocalFileCache::Writer writer(folder, name);
        CZuServiceCall call = OpenCall();
        types__GetHeadframeType request;
        request.InterplayURI = uri;
        types__GetHeadframeResponseType response;
        call.Binding().SetContentSink(&writer);
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__GetHeadframe, &request, &response,
                              CZuServiceCall::Policy().KeepMessage());
        if (call.GetOutcome() == CZuServiceCall::LOCAL_FAILURE) {
            m_lastErrorText = ZU_TEXT_CANNOT_WRITE + path;
            return ZU_E_FAILED;
        }
        if (call.GetOutcome() != CZuServiceCall::SUCCESS) return hr;
        // An empty image is no image: the cache would serve it for ever.
        const xsd__base64Binary* image = response.Headframe;
        if (writer.SizeOf(image) == 0) {
            m_lastErrorText = ZU_TEXT_NO_HEADFRAME;
            return ZU_E_FAILED;
        }
        if (writer.Commit(image) != ERROR_SUCCESS) {
            m_lastErrorText = ZU_TEXT_CANNOT_WRITE + path;
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
        const std::string folder = ZU_TEXT_VERSION_FOLDER;
        const std::string name = CZuLocalFileCache::FileName(uri, kVersionExtension);
        // The file goes to a new file of the folder as it arrives, and takes
        // the name once the whole response was read and found good.
        CZuLocalFileCache::Writer writer(folder, name);
        CZuServiceCall call = OpenCall();
        types__GetLatestType request;
        request.InterplayURI = uri;
        types__GetLatestResponseType response;
        call.Binding().SetContentSink(&writer);
        call.Run(&AssetsPortBinding::__assets__GetLatest, &request, &response,
                 CZuServiceCall::Policy()
                     .LogTransportFailure(ZU_LOG_CHECKINAAF_VALUE, ZU_LOG_CHECKINAAF_FALSE)
                     .LogServerError(ZU_LOG_GET_LATEST));
        if (call.GetOutcome() == CZuServiceCall::LOCAL_FAILURE) {
            m_lastErrorText = ZU_TEXT_CANNOT_WRITE + folder + name;
            CZuFaultGuard::Raise();
        }
        // A server error is reported through the last error text alone.
        if (call.GetOutcome() == CZuServiceCall::SERVER_ERROR) return;
        // No file (none comes with a failed exchange) is a damaged file.
        if (call.GetOutcome() != CZuServiceCall::SUCCESS || !response.File) CZuFaultGuard::Raise();

        if (writer.Commit(response.File) != ERROR_SUCCESS) {
            m_lastErrorText = ZU_TEXT_CANNOT_WRITE + folder + name;
            CZuFaultGuard::Raise();
        }
        *aafPath = HandBack((folder + name).c_str());
    });
}
