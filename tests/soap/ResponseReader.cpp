#include "ResponseReader.h"

#include <sstream>

#include "AssetsPortBinding.h"
#include "CZuAssetsEnvelope.h"

using namespace ZuAssets;

namespace {

void touch(ResponseReading& reading, const std::string& text) {
    ++reading.strings;
    for (char c : text) reading.characters += c ? 1 : 0;
}

void touch(ResponseReading& reading, const types__AttributeListType* list) {
    if (!list) return;
    for (const types__AttributeType* attribute : list->Attribute) {
        if (!attribute) continue;
        touch(reading, attribute->Group);
        touch(reading, attribute->Name);
        touch(reading, attribute->__item);
    }
}

} // namespace

ResponseReading ReadGetChildrenResponse(const std::string& httpResponse) {
    ResponseReading reading;
    AssetsPortBinding binding;
    std::istringstream in(httpResponse);
    binding.soap->is = &in;
    types__GetChildrenResponseType response;
    reading.code = soap_recv___assets__GetChildren(binding.soap, &response);
    if (reading.code == SOAP_OK) {
        if (response.Errors)
            for (const types__ErrorType* error : response.Errors->Error) {
                if (!error) continue;
                touch(reading, error->Message);
                touch(reading, error->Details);
                touch(reading, error->Code);
                if (error->InterplayURI) touch(reading, *error->InterplayURI);
            }
        if (response.Results)
            for (const types__AssetDescriptionType* asset : response.Results->AssetDescription) {
                if (!asset) continue;
                touch(reading, asset->InterplayURI);
                touch(reading, asset->Attributes);
            }
    } else {
        std::string code, message, details;
        if (CZuAssetsEnvelope::GetFaultDetail(binding.soap, &code, &message, &details)) {
            touch(reading, code);
            touch(reading, message);
            touch(reading, details);
        }
    }
    binding.soap->is = nullptr;
    return reading;
}
