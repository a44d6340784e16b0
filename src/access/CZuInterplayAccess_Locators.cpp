// Reading, adding and removing the locators of one asset.
#include <algorithm>
#include <vector>

#include "CZuInterplayAccess.h"
#include "CZuServiceCall.h"
#include "IZuSpareReference.h"
#include "KoResult.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

using namespace ZuAssets;

namespace {

// Narrowing limits of the texts a new locator is sent with, in bytes.
enum { NARROW_COMMENT = 260, NARROW_COLOR = 20, NARROW_TRACK = 10 };
// The track is read through a buffer wider than the locator's field.
enum { WIDE_TRACK = 20 };

// The references an object holds.
ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// Gives back the spare reference a locator was handed out with by
// CreateMobLocator, if it still carries it; listed is the number of places a
// list holds it in, each with a reference. Locators that carry none (given
// back before, or not made by this module) keep every reference. A host that
// released the spare reference itself has left the locator its pool's
// reference and the list's: those stay too.
void GiveBackSpareReference(IZuInterplayMobLocator* locator, size_t listed) {
    IZuSpareReference* spare = nullptr;
    if (FAILED(KoQueryInterface(locator, IID_IZuSpareReference, &spare))) return;
    bool noted = spare->TakeSpareReference();
    spare->Release();
    if (noted && References(locator) > 1 + listed) locator->Release();
}

// Gives back the spare references of the locators a list holds, entries as
// the list has them (a locator may stand in it more than once).
void GiveBackSpareReferences(std::vector<IZuInterplayMobLocator*> entries) {
    std::sort(entries.begin(), entries.end());
    for (size_t i = 0; i < entries.size();) {
        size_t end = i;
        while (end < entries.size() && entries[end] == entries[i]) ++end;
        GiveBackSpareReference(entries[i], end - i);
        i = end;
    }
}

// The entries of a list.
std::vector<IZuInterplayMobLocator*> EntriesOf(IZuInterplayMobLocatorList* list) {
    std::vector<IZuInterplayMobLocator*> entries;
    int count = 0;
    if (FAILED(list->GetCount(&count))) return entries;
    for (int i = 0; i < count; ++i) {
        IZuInterplayMobLocator* locator = nullptr;
        if (SUCCEEDED(list->GetItem(i, &locator)) && locator) entries.push_back(locator);
    }
    return entries;
}

} // namespace

HRESULT CZuInterplayAccess::GetLocators(const wchar_t* assetURI, IZuInterplayMobLocatorList** out) {
    if (!assetURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        CZuServiceCall call = OpenCall();
        types__GetLocatorsType request;
        request.InterplayURI = Narrow(assetURI, ZU_NARROW_URI);
        types__GetLocatorsResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__GetLocators, &request, &response,
                              CZuServiceCall::Policy().LogServerError(ZU_LOG_GET_LOCATORS));
        if (hr != S_OK || !out) return hr;

        // The list comes with two references, both for the caller; the holder
        // owns one of them until the list is handed out.
        TKoSmartPtr<IZuInterplayMobLocatorList> list;
        KO_RETURN_IF_FAILED(hr = CreateMobLocatorList(list.Put()));
        KO_RETURN_HR_IF_NULL(ZU_E_FAILED, list);
        auto giveUp = [&](HRESULT failure) {
            // Nothing half-built goes out: the locators already in the list
            // lose their spare references, the list its second one.
            GiveBackSpareReferences(EntriesOf(list));
            list->Release();
            return failure;
        };
        wchar_t timecode[ZU_LOCATOR_TIMECODE_CCH];
        wchar_t username[ZU_LOCATOR_USERNAME_CCH];
        wchar_t comment[ZU_LOCATOR_COMMENT_CCH];
        wchar_t color[ZU_LOCATOR_COLOR_CCH];
        wchar_t track[WIDE_TRACK];
        if (response.Results) {
            for (const types__LocatorType* item : response.Results->Locator) {
                if (!item) continue; // read as nil: nothing to carry
                // Two references: the holder's, and the spare one the list's
                // reader keeps until AddLocators gives it back.
                TKoSmartPtr<IZuInterplayMobLocator> locator;
                hr = CreateMobLocator(locator.Put());
                if (FAILED(hr)) return giveUp(hr);
                if (!locator) return giveUp(ZU_E_FAILED);
                // Absent numbers are zero, absent texts empty.
                Widen(item->Timecode ? item->Timecode->c_str() : "", timecode, ZU_LOCATOR_TIMECODE_CCH);
                Widen(item->Username ? item->Username->c_str() : "", username, ZU_LOCATOR_USERNAME_CCH);
                Widen(item->Comment.c_str(), comment, ZU_LOCATOR_COMMENT_CCH);
                Widen(item->Color.c_str(), color, ZU_LOCATOR_COLOR_CCH);
                Widen(item->Track.c_str(), track, WIDE_TRACK);
                locator->SetLocatorID(item->LocatorID ? *item->LocatorID : 0);
                locator->SetFrameNumber(item->FrameNumber ? *item->FrameNumber : 0);
                locator->SetTimecode(timecode);
                locator->SetUsername(username);
                locator->SetComment(comment);
                locator->SetColor(color);
                locator->SetTrack(track);
                HRESULT added = list->Add(locator);
                if (FAILED(added)) {
                    GiveBackSpareReference(locator, 0);
                    return giveUp(added);
                }
            }
        }
        *out = list.Detach();
        return hr;
    });
}

HRESULT CZuInterplayAccess::RemoveLocators(const wchar_t* assetURI, int locatorID) {
    if (!assetURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        CZuServiceCall call = OpenCall();
        types__LocatorIDListType ids;
        ids.LocatorID.push_back(locatorID);
        types__RemoveLocatorsType request;
        request.InterplayURI = Narrow(assetURI, ZU_NARROW_URI);
        request.LocatorIDs = &ids;
        types__RemoveLocatorsResponseType response;
        return call.Run(&AssetsPortBinding::__assets__RemoveLocators, &request, &response,
                        CZuServiceCall::Policy().LogServerError(ZU_LOG_REMOVE_LOCATORS));
    });
}

HRESULT CZuInterplayAccess::AddLocators(const wchar_t* assetURI, IZuInterplayMobLocatorList* locators) {
    if (!assetURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        CZuServiceCall call = OpenCall();
        types__SaveLocatorsType request;
        request.InterplayURI = Narrow(assetURI, ZU_NARROW_URI);
        types__LocatorListType list;
        request.Locators = &list;

        HRESULT hr = S_OK;
        // The entries sent, and the frame number each carries in its own
        // storage. The locators' spare references are given back once the
        // request is done with them.
        std::vector<types__LocatorType> items;
        std::vector<LONG64> frames;
        std::vector<IZuInterplayMobLocator*> sent;
        if (locators) {
            int count = 0;
            hr = locators->GetCount(&count);
            if (FAILED(hr)) count = 0;
            size_t reserve = static_cast<size_t>(count > 0 ? count : 0);
            items.reserve(reserve);
            frames.reserve(reserve);
            sent.reserve(reserve);
            for (int i = 0; i < count; ++i) {
                // The list's own pointer: no reference of ours.
                IZuInterplayMobLocator* entry = nullptr;
                locators->GetItem(i, &entry);
                if (!entry) continue;
                int64_t frame = 0;
                const wchar_t* comment = nullptr;
                const wchar_t* color = nullptr;
                const wchar_t* track = nullptr;
                entry->GetFrameNumber(&frame);
                entry->GetComment(&comment);
                entry->GetColor(&color);
                hr = entry->GetTrack(&track);
                frames.push_back(frame);
                items.emplace_back();
                types__LocatorType& item = items.back();
                item.FrameNumber = &frames.back();
                item.Comment = Narrow(comment, NARROW_COMMENT);
                item.Color = Narrow(color, NARROW_COLOR);
                item.Track = Narrow(track, NARROW_TRACK);
                sent.push_back(entry);
            }
            list.Locator.reserve(items.size());
            for (types__LocatorType& item : items) list.Locator.push_back(&item);
        }

        types__SaveLocatorsResponseType response;
        HRESULT result = call.Run(&AssetsPortBinding::__assets__SaveLocators, &request, &response,
                                  CZuServiceCall::Policy().LogServerError(ZU_LOG_SAVE_LOCATORS));
        // Whatever the outcome. Each locator gives back at most the one spare
        // reference it was handed out with, so a list sent again keeps every
        // locator it holds.
        GiveBackSpareReferences(std::move(sent));
        return result == S_OK ? hr : result;
    });
}
