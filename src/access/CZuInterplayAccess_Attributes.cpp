// Reading and writing the attributes of one asset.
#include "CZuAttributeRecords.h"
#include "CZuInterplayAccess.h"
#include "CZuServiceCall.h"
#include "KoResult.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

using namespace ZuAssets;

HRESULT CZuInterplayAccess::PackAttributes(const types__AttributeListType* from,
                                           IZuInterplayMobAttributeList* list) {
    if (!from) return S_OK;
    // Widened in place: nothing is allocated per attribute.
    wchar_t group[ZU_ATTRIBUTE_GROUP_CCH];
    wchar_t name[ZU_ATTRIBUTE_NAME_CCH];
    wchar_t value[ZU_ATTRIBUTE_VALUE_CCH];
    for (const types__AttributeType* item : from->Attribute) {
        if (!item) continue; // read as nil: nothing to carry
        TKoSmartPtr<IZuInterplayMobAttribute> attribute;
        KO_RETURN_IF_FAILED(CreateMobAttribute(attribute.Put()));
        KO_RETURN_HR_IF_NULL(ZU_E_FAILED, attribute);
        // A pooled object has mostly left the cache by now: its fields are
        // fetched while the texts are widened.
        const wchar_t* field = nullptr;
        if (SUCCEEDED(attribute->GetGroup(&field))) KO_PREFETCH_FOR_WRITE(field);
        if (SUCCEEDED(attribute->GetName(&field))) KO_PREFETCH_FOR_WRITE(field);
        if (SUCCEEDED(attribute->GetValue(&field))) KO_PREFETCH_FOR_WRITE(field);
        Widen(item->Group.c_str(), group, ZU_ATTRIBUTE_GROUP_CCH);
        Widen(item->Name.c_str(), name, ZU_ATTRIBUTE_NAME_CCH);
        Widen(item->__item.c_str(), value, ZU_ATTRIBUTE_VALUE_CCH);
        attribute->SetGroup(group);
        attribute->SetName(name);
        attribute->SetValue(value);
        KO_RETURN_IF_FAILED(list->Add(attribute));
    }
    return S_OK;
}

HRESULT CZuInterplayAccess::SetAttributes(const wchar_t* assetURI, IZuInterplayMobAttributeList* attributes) {
    if (!assetURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        CZuServiceCall call = OpenCall();
        std::string uri;
        ToNarrowString(assetURI, &uri, ZU_NARROW_URI);
        types__InterplayURIListType uris;
        uris.InterplayURI.push_back(uri);
        types__SetAttributesType request;
        request.InterplayURIs = &uris;

        HRESULT hr = S_OK;
        CZuAttributeRecords records;
        if (attributes) {
            hr = records.ReadList(attributes, CZuAttributeRecords::Limits::Buffers, true);
            request.Attributes = records.List();
        }

        types__SetAttributesResponseType response;
        HRESULT result =
            call.Run(&AssetsPortBinding::__assets__SetAttributes, &request, &response,
                     CZuServiceCall::Policy()
                         .LogTransportFailure(ZU_LOG_SET_ATTRIBUTES_VALUE, ZU_LOG_SET_ATTRIBUTES_FALSE)
                         .LogServerError(ZU_LOG_SET_ATTRIBUTES_FALSE));
        return result == S_OK ? hr : result;
    });
}

HRESULT CZuInterplayAccess::GetAttributes(const wchar_t* assetURI, IZuInterplayMobAttributeList** out) {
    if (!assetURI || !out) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        CZuServiceCall call = OpenCall();
        types__InterplayURIListType uris;
        uris.InterplayURI.push_back(Narrow(assetURI, ZU_NARROW_URI));
        types__GetAttributesType request;
        request.InterplayURIs = &uris;
        types__GetAttributesResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__GetAttributes, &request, &response,
                              CZuServiceCall::Policy().LogServerError(ZU_LOG_GET_ATTRIBUTES));
        if (hr != S_OK || !response.Results) return hr;

        // One URI was asked for, so one description is expected; should there
        // be several, each gets a list of its own and the last one is handed
        // back, the others released.
        TKoSmartPtr<IZuInterplayMobAttributeList> last;
        for (const types__AssetDescriptionType* description : response.Results->AssetDescription) {
            if (!description) continue;
            TKoSmartPtr<IZuInterplayMobAttributeList> list;
            KO_RETURN_IF_FAILED(CreateMobAttributeList(list.Put()));
            KO_RETURN_HR_IF_NULL(ZU_E_FAILED, list);
            KO_RETURN_IF_FAILED(PackAttributes(description->Attributes, list));
            last.Attach(list.Detach());
        }
        if (last) *out = last.Detach();
        return S_OK;
    });
}
