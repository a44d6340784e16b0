#include "CZuBase64Binary.h"

#include "stdsoap2.h"

namespace {

// Whether the context is in its counting pass and nothing but the count takes
// the bytes: the runtime's soap_send_raw then only adds their number to
// soap->count. With a send hook, or with the DOM (to which soap_putbase64 hands
// the text instead of sending it), the bytes go through the runtime.
bool OnlyCounting(const struct soap* soap) {
    return (soap->mode & SOAP_IO_LENGTH) && !soap->fpreparesend && !soap->ffiltersend &&
           !((soap->mode & SOAP_XML_DOM) && soap->dom);
}

} // namespace

size_t CZuBase64Binary::EncodedLength(const unsigned char* ptr, int size) {
    if (!ptr || size <= 0) return 0;
    return (static_cast<size_t>(size) + 2) / 3 * 4;
}

int CZuBase64Binary::WriteElement(struct soap* soap, const char* tag, int id, const CZuBase64Binary* value,
                                  int typeId, const char* type) {
    id = soap_attachment(soap, tag, id, value, value->__ptr, value->__size, value->id, value->type, value->options,
                         type, typeId);
    if (id < 0) return soap->error;
    if (soap_element_begin_out(soap, tag, id, type)) return soap->error;
    if (OnlyCounting(soap))
        soap->count += EncodedLength(value->__ptr, value->__size);
    else if (soap_putbase64(soap, value->__ptr, value->__size))
        return soap->error;
    return soap_element_end_out(soap, tag);
}

CZuBase64Binary* CZuBase64Binary::ReadElement(struct soap* soap, const char* tag, CZuBase64Binary* value,
                                              const char* type, const Module& module) {
    if (soap_element_begin_in(soap, tag, 1, nullptr)) return nullptr;
    if (value && *soap->type && soap_match_tag(soap, soap->type, type) && soap_match_tag(soap, soap->type, ":base64Binary") &&
        soap_match_tag(soap, soap->type, ":base64")) {
        soap->error = SOAP_TYPE;
        return nullptr;
    }
    value = static_cast<CZuBase64Binary*>(soap_id_enter(soap, soap->id, value, module.typeId, sizeof(CZuBase64Binary),
                                                        soap->type, soap->arrayType, module.instantiate, module.base));
    if (!value) return nullptr;
    *value = CZuBase64Binary();
    if (soap->body && !*soap->href) {
        value->__ptr = soap_getbase64(soap, &value->__size, 0);
        if (soap_xop_forward(soap, &value->__ptr, &value->__size, &value->id, &value->type, &value->options))
            return nullptr;
        if ((!value->__ptr && soap->error) || soap_element_end_in(soap, tag)) return nullptr;
        return value;
    }
    if (*soap->href != '#') {
        if (soap_attachment_forward(soap, &value->__ptr, &value->__size, &value->id, &value->type, &value->options))
            return nullptr;
    } else {
        value = static_cast<CZuBase64Binary*>(soap_id_forward(soap, soap->href, value, 0, module.typeId, module.typeId,
                                                              sizeof(CZuBase64Binary), 0, module.insert, module.base));
    }
    if (soap->body && soap_element_end_in(soap, tag)) return nullptr;
    return value;
}
