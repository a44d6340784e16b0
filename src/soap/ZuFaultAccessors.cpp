// The runtime's accessors of the SOAP fault: soap_faultcode, soap_faultsubcode,
// soap_faultstring and soap_faultdetail (and soap_fault_detail, its reader)
// give the address of one field of the
// context's fault, which they allocate first when there is none. The runtime
// writes and reads through that address without looking at it, also when the
// fault could not be allocated (memory ran out while a response of the wrong
// element was read, say), and soapcpp2's soap_faultdetail itself reads through
// a detail it could not allocate. These take the generated ones' place (the
// generated unit is compiled with its accessors renamed ZuGenerated_*, see
// CMakeLists.txt): when the field cannot be had they give a slot of the
// calling thread, emptied on each call, so that the runtime's error stands
// and nothing is written through a null pointer.
#include "ZuAssetsEnvH.h"
#include "stdsoap2.h"

SOAP_FMAC3 const char** SOAP_FMAC4 ZuGenerated_soap_faultcode(struct soap* soap);
SOAP_FMAC3 const char** SOAP_FMAC4 ZuGenerated_soap_faultsubcode(struct soap* soap);
SOAP_FMAC3 const char** SOAP_FMAC4 ZuGenerated_soap_faultstring(struct soap* soap);

namespace {

enum Field { CODE, SUBCODE, STRING, DETAIL, FIELDS };

const char** Spare(Field field) {
    thread_local const char* slots[FIELDS];
    slots[field] = nullptr;
    return &slots[field];
}

} // namespace

SOAP_FMAC3 const char** SOAP_FMAC4 soap_faultcode(struct soap* soap) {
    const char** field = ZuGenerated_soap_faultcode(soap);
    return field ? field : Spare(CODE);
}

SOAP_FMAC3 const char** SOAP_FMAC4 soap_faultsubcode(struct soap* soap) {
    const char** field = ZuGenerated_soap_faultsubcode(soap);
    return field ? field : Spare(SUBCODE);
}

SOAP_FMAC3 const char** SOAP_FMAC4 soap_faultstring(struct soap* soap) {
    const char** field = ZuGenerated_soap_faultstring(soap);
    return field ? field : Spare(STRING);
}

SOAP_FMAC3 const char** SOAP_FMAC4 soap_faultdetail(struct soap* soap) {
    soap_fault(soap);
    if (!soap->fault) return Spare(DETAIL);
    SOAP_ENV__Detail** detail = soap->version == 2 ? &soap->fault->SOAP_ENV__Detail : &soap->fault->detail;
    if (!*detail) *detail = soap_new_SOAP_ENV__Detail(soap, -1);
    if (!*detail) return Spare(DETAIL);
    return const_cast<const char**>(&(*detail)->__any);
}

SOAP_FMAC3 const char* SOAP_FMAC4 soap_fault_detail(struct soap* soap) { return *soap_faultdetail(soap); }
