// Browsing folders and searching, both answered with asset description lists.
#include <vector>

#include "CZuAttributeRecords.h"
#include "CZuFaultGuard.h"
#include "CZuInterplayAccess.h"
#include "CZuServiceCall.h"
#include "KoResult.h"
#include "KoText.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

using namespace ZuAssets;

namespace {

// The operator names of the condition kinds, by kind.
const char* const kConditionNames[] = {
    "EQUALS",
    "NOT_EQUALS",
    "CONTAINS",
    "NOT_CONTAINS",
    "LESS_THAN",
    "GREATER_THAN",
    "LESS_THAN_OR_EQUAL_TO",
    "GREATER_THAN_OR_EQUAL_TO",
};
const unsigned kConditionKinds = sizeof kConditionNames / sizeof kConditionNames[0];

// Search settings after SetSearchOptions has reset them.
const int kResetSearchLimit = 10;

} // namespace

HRESULT CZuInterplayAccess::PackDescriptions(const types__AssetDescriptionListType* from,
                                             IZuInterplayAssetsDescriptionsList** out) {
    TKoSmartPtr<IZuInterplayAssetsDescriptionsList> list;
    HRESULT hr = CreateAssetsDescriptionsList(list.Put());
    KO_RETURN_IF_FAILED(hr);
    KO_RETURN_HR_IF_NULL(ZU_E_FAILED, list);
    if (from) {
        wchar_t uri[ZU_ASSET_URI_CCH];
        for (const types__AssetDescriptionType* item : from->AssetDescription) {
            if (!item) continue; // read as nil: no asset
            TKoSmartPtr<IZuInterplayMobAttributeList> attributes;
            KO_RETURN_IF_FAILED(hr = CreateMobAttributeList(attributes.Put()));
            KO_RETURN_HR_IF_NULL(ZU_E_FAILED, attributes);
            KO_RETURN_IF_FAILED(hr = PackAttributes(item->Attributes, attributes));
            TKoSmartPtr<IZuInterplayAssetDescription> description;
            KO_RETURN_IF_FAILED(hr = CreateAssetDescription(description.Put()));
            KO_RETURN_HR_IF_NULL(ZU_E_FAILED, description);
            Widen(item->InterplayURI.c_str(), uri, ZU_ASSET_URI_CCH);
            description->SetInterplayURI(uri);
            description->SetAttributeList(attributes);
            KO_RETURN_IF_FAILED(hr = list->Add(description));
        }
    }
    *out = list.Detach();
    return hr;
}

HRESULT CZuInterplayAccess::GetChildren(const wchar_t* folderURI, bool foldersOnly,
                                        IZuInterplayAssetsDescriptionsList** out) {
    if (!folderURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        // Without a context the call fails as a transport failure (SOAP_EOM),
        // as every operation's does.
        CZuServiceCall call = OpenCall();
        bool includeFolders = true;
        bool includeOthers = !foldersOnly;
        types__GetChildrenType request;
        request.InterplayURI = Narrow(folderURI, ZU_NARROW_URI);
        request.IncludeFolders = &includeFolders;
        request.IncludeFiles = &includeOthers;
        request.IncludeMOBs = &includeOthers;
        types__GetChildrenResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__GetChildren, &request, &response,
                              CZuServiceCall::Policy().LogServerError(ZU_LOG_GET_CHILDREN));
        if (hr != S_OK || !out) return hr;
        return PackDescriptions(response.Results, out);
    });
}

HRESULT CZuInterplayAccess::SetSearchOptions(const wchar_t* searchRoot, int operatorCode, int maxResults) {
    m_searchRoot[0] = L'\0';
    m_searchOperator.clear();
    m_searchLimit = kResetSearchLimit;
    m_searchConditionOperators.clear();
    m_searchConditionAttributes.clear();
    if (!searchRoot) return ZU_E_INVALIDARG;
    KoCopyWide(m_searchRoot, sizeof m_searchRoot / sizeof m_searchRoot[0], searchRoot);
    if (operatorCode == ZU_SEARCH_OR)
        m_searchOperator = "OR";
    else if (operatorCode == ZU_SEARCH_AND)
        m_searchOperator = "AND";
    m_searchLimit = maxResults;
    return S_OK;
}

HRESULT CZuInterplayAccess::AddSearchCondition(unsigned conditionKind, IZuInterplayMobAttribute* condition) {
    // An unknown kind has no operator name: storing its condition would pair
    // every later condition with the wrong operator.
    if (conditionKind >= kConditionKinds) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        // Room for both first, so that the lists stay parallel.
        if (m_searchConditionAttributes.size() == m_searchConditionAttributes.capacity())
            m_searchConditionAttributes.reserve(m_searchConditionAttributes.size() * 2 + 1);
        m_searchConditionOperators.emplace_back(kConditionNames[conditionKind]);
        // A null condition is kept in its place and skipped by Search.
        m_searchConditionAttributes.push_back(condition);
        return S_OK;
    });
}

HRESULT CZuInterplayAccess::Search(IZuInterplayAssetsDescriptionsList** out) {
    HRESULT packed = S_OK;
    HRESULT guarded = CZuFaultGuard::Run(ZU_TEXT_NETWORK_FAILED, [&] {
        CZuServiceCall call = OpenCall();
        types__SearchType request;
        request.InterplayPathURI = Narrow(m_searchRoot, ZU_NARROW_URI);
        int maxResults = m_searchLimit;
        request.MaxResults = &maxResults;

        // One group, its operator left out when empty, one attribute
        // condition per stored condition.
        types__SearchGroupType group;
        group.Operator = m_searchOperator;
        size_t count = m_searchConditionAttributes.size();
        std::vector<types__AttributeConditionType> conditions;
        CZuAttributeRecords attributes;
        conditions.reserve(count);
        // Room for every record: each condition points at its own.
        attributes.Reserve(count);
        for (size_t i = 0; i < count; ++i) {
            IZuInterplayMobAttribute* condition = m_searchConditionAttributes[i];
            if (!condition) continue;
            attributes.Read(condition, CZuAttributeRecords::Limits::Buffers, false);
            conditions.emplace_back();
            conditions.back().Condition = m_searchConditionOperators[i];
            conditions.back().Attribute = &attributes.Last();
        }
        group.AttributeCondition.reserve(conditions.size());
        for (types__AttributeConditionType& condition : conditions)
            group.AttributeCondition.push_back(&condition);
        request.SearchGroup = &group;

        types__SearchResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__Search, &request, &response,
                              CZuServiceCall::Policy()
                                  .LogTransportFailure(ZU_LOG_CHECKINAAF_VALUE, ZU_LOG_CHECKINAAF_FALSE)
                                  .LogServerError(ZU_LOG_CHECKINAAF_FALSE));
        if (!out) return;
        if (call.GetOutcome() == CZuServiceCall::TRANSPORT_FAILURE) {
            // The caller finds an empty list, and learns of the failure from
            // the message box and the result.
            CreateAssetsDescriptionsList(out);
            CZuFaultGuard::Raise();
        }
        // A server error is told through the last error text only.
        if (hr == S_OK) packed = PackDescriptions(response.Results, out);
    });
    return FAILED(guarded) ? guarded : packed;
}
