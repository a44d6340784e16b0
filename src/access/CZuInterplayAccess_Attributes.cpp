// Reading and writing the attributes of one asset.
#include <new>
#include <vector>

#include "CZuInterplayAccess.h"
#include "CZuServiceCall.h"
#include "ZuResultCodes.h"

using namespace ZuAssets;

namespace {

const char kSetLine[] = "CZuInterplayAccess::SetAttributes , __assets__SetAttributes FALSE = %S  ! \n";
const char kSetValueLine[] = "CZuInterplayAccess::SetAttributes , __assets__SetAttributes value = %d  ! \n";
const char kGetLine[] = "CZuInterplayUploading::CheckInAAF , __assets__GetAttributes FALSE = %S  ! \n";

// The group whose attributes are never written back.
const char kSystemGroup[] = "SYSTEM";

} // namespace

HRESULT CZuInterplayAccess::PackAttributes(const types__AttributeListType* from,
                                           IZuInterplayMobAttributeList* list) {
    if (!from) return S_OK;
    // Widened in place: nothing is allocated per attribute.
    wchar_t group[ZU_ATTRIBUTE_GROUP_CCH];
    wchar_t name[ZU_ATTRIBUTE_NAME_CCH];
    wchar_t value[ZU_ATTRIBUTE_VALUE_CCH];
    for (const types__AttributeType* item : from->Attribute) {
        if (!item) continue;  // read as nil: nothing to carry
        TKoSmartPtr<IZuInterplayMobAttribute> attribute;
        HRESULT hr = CreateMobAttribute(&attribute);
        if (FAILED(hr)) return hr;
        if (!attribute) return ZU_E_FAILED;
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
        hr = list->Add(attribute);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT CZuInterplayAccess::SetAttributes(const wchar_t* assetURI, IZuInterplayMobAttributeList* attributes) {
    if (!assetURI) return ZU_E_INVALIDARG;
    try {
        CZuServiceCall call(m_serviceURL, m_userName, m_password, m_lastErrorText);
        std::string uri;
        ToNarrowString(assetURI, &uri, ZU_NARROW_URI);
        types__InterplayURIListType uris;
        uris.InterplayURI.push_back(uri);
        types__SetAttributesType request;
        request.InterplayURIs = &uris;

        HRESULT hr = S_OK;
        types__AttributeListType list;
        std::vector<types__AttributeType> items;
        if (attributes) {
            request.Attributes = &list;
            int count = 0;
            hr = attributes->GetCount(&count);
            if (FAILED(hr)) count = 0;
            items.reserve(static_cast<size_t>(count > 0 ? count : 0));
            for (int i = 0; i < count; ++i) {
                TKoSmartPtr<IZuInterplayMobAttribute> entry;
                attributes->GetItem(i, &entry);
                if (!entry) continue;
                const wchar_t* group = nullptr;
                const wchar_t* name = nullptr;
                const wchar_t* value = nullptr;
                entry->GetGroup(&group);
                entry->GetName(&name);
                hr = entry->GetValue(&value);
                std::string narrowGroup = Narrow(group, ZU_NARROW_GROUP);
                if (narrowGroup == kSystemGroup) continue;
                items.emplace_back();
                items.back().Group = std::move(narrowGroup);
                items.back().Name = Narrow(name, ZU_NARROW_NAME);
                items.back().__item = Narrow(value, ZU_NARROW_URI);
            }
            list.Attribute.reserve(items.size());
            for (types__AttributeType& item : items) list.Attribute.push_back(&item);
        }

        types__SetAttributesResponseType response;
        HRESULT result = call.Run(&AssetsPortBinding::__assets__SetAttributes, &request, &response,
                                  CZuServiceCall::Policy()
                                      .LogTransportFailure(kSetValueLine, kSetLine)
                                      .LogServerError(kSetLine));
        return result == S_OK ? hr : result;
    } catch (const std::bad_alloc&) {
        return ZU_E_OUTOFMEMORY;
    }
}

HRESULT CZuInterplayAccess::GetAttributes(const wchar_t* assetURI, IZuInterplayMobAttributeList** out) {
    if (!assetURI || !out) return ZU_E_INVALIDARG;
    try {
        CZuServiceCall call(m_serviceURL, m_userName, m_password, m_lastErrorText);
        types__InterplayURIListType uris;
        uris.InterplayURI.push_back(Narrow(assetURI, ZU_NARROW_URI));
        types__GetAttributesType request;
        request.InterplayURIs = &uris;
        types__GetAttributesResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__GetAttributes, &request, &response,
                              CZuServiceCall::Policy().LogServerError(kGetLine));
        if (hr != S_OK || !response.Results) return hr;

        // One URI was asked for, so one description is expected; should there
        // be several, each gets a list of its own and the last one is handed
        // back, the others released.
        TKoSmartPtr<IZuInterplayMobAttributeList> last;
        for (const types__AssetDescriptionType* description : response.Results->AssetDescription) {
            if (!description) continue;
            TKoSmartPtr<IZuInterplayMobAttributeList> list;
            hr = CreateMobAttributeList(&list);
            if (FAILED(hr)) return hr;
            if (!list) return ZU_E_FAILED;
            hr = PackAttributes(description->Attributes, list);
            if (FAILED(hr)) return hr;
            last.Attach(list.Detach());
        }
        if (last) *out = last.Detach();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return ZU_E_OUTOFMEMORY;
    }
}
