// Moving assets and deleting the pending delete list's assets.
#include <string>

#include "CZuInterplayAccess.h"
#include "CZuServiceCall.h"
#include "KoResult.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

using namespace ZuAssets;

HRESULT CZuInterplayAccess::Move(const wchar_t* assetURI, const wchar_t* folderURI) {
    if (!assetURI || !folderURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        CZuServiceCall call = OpenCall();
        types__MoveType request;
        request.InterplayAssetURI = Narrow(assetURI, ZU_NARROW_URI);
        request.InterplayFolderURI = Narrow(folderURI, ZU_NARROW_URI);
        types__MoveResponseType response;
        HRESULT hr =
            call.Run(&AssetsPortBinding::__assets__Move, &request, &response,
                     CZuServiceCall::Policy().TransportFailureText(ZU_TEXT_CANNOT_MOVE).KeepMessage());
        // An error without a message does not count.
        if (call.GetOutcome() == CZuServiceCall::SERVER_ERROR && call.GetFirstError()->Message.empty())
            return S_OK;
        return hr;
    });
}

HRESULT CZuInterplayAccess::DeleteAssets(bool deleteMedia, bool simulation) {
    // The list holds the callers' pointers as given: a null one stops the
    // call before anything is sent.
    for (const wchar_t* uri : m_deleteList)
        if (!uri) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        CZuServiceCall call = OpenCall();
        types__InterplayURIListType uris;
        for (const wchar_t* uri : m_deleteList) {
            std::string narrow;
            ToNarrowString(uri, &narrow, ZU_NARROW_URI);
            uris.InterplayURI.push_back(std::move(narrow));
        }
        types__DeleteAssetsType request;
        request.InterplayURIs = &uris;
        request.DeleteMedia = deleteMedia;
        request.Simulation = &simulation;
        types__DeleteAssetsResponseType response;
        return call.Run(&AssetsPortBinding::__assets__DeleteAssets, &request, &response,
                        CZuServiceCall::Policy()
                            .LogTransportFailure(ZU_LOG_DELETE_ASSETS_VALUE, ZU_LOG_DELETE_ASSETS_FALSE,
                                                 ZU_TEXT_W_NO_WEB_SERVICE_SETUPED)
                            .LogServerError(ZU_LOG_DELETE_ASSETS_FALSE));
    });
}
