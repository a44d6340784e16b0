#include "CZuAssetsEnvelope.h"

#include "ZuAssetsEnvH.h"

int CZuAssetsEnvelope::SetCredentials(struct soap* soap, const std::string& userName,
                                      const std::string& password) {
    types__UserCredentialsType* credentials = soap_new_types__UserCredentialsType(soap);
    if (!soap->header) soap->header = soap_new_SOAP_ENV__Header(soap);
    if (!credentials || !soap->header) return soap->error = SOAP_EOM;
    credentials->Username = userName;
    credentials->Password = password;
    soap->header->types__UserCredentials = credentials;
    return SOAP_OK;
}

bool CZuAssetsEnvelope::GetCredentials(struct soap* soap, std::string* userName, std::string* password) {
    if (!soap->header || !soap->header->types__UserCredentials) return false;
    if (userName) *userName = soap->header->types__UserCredentials->Username;
    if (password) *password = soap->header->types__UserCredentials->Password;
    return true;
}

int CZuAssetsEnvelope::SetFaultDetail(struct soap* soap, const std::string& code, const std::string& message,
                                      const std::string& details) {
    _types__AssetsFaultType* fault = soap_new__types__AssetsFaultType(soap);
    SOAP_ENV__Detail* detail = soap_new_SOAP_ENV__Detail(soap);
    soap_fault(soap);
    if (!fault || !detail || !soap->fault) return soap->error = SOAP_EOM;
    fault->Code = code;
    fault->Message = message;
    fault->Details = details;
    detail->types__AssetsFaultType = fault;
    if (soap->version == 2)
        soap->fault->SOAP_ENV__Detail = detail;
    else
        soap->fault->detail = detail;
    return SOAP_OK;
}

bool CZuAssetsEnvelope::GetFaultDetail(struct soap* soap, std::string* code, std::string* message,
                                       std::string* details) {
    if (!soap->fault) return false;
    const SOAP_ENV__Detail* detail =
        soap->fault->detail ? soap->fault->detail : soap->fault->SOAP_ENV__Detail;
    if (!detail || !detail->types__AssetsFaultType) return false;
    if (code) *code = detail->types__AssetsFaultType->Code;
    if (message) *message = detail->types__AssetsFaultType->Message;
    if (details) *details = detail->types__AssetsFaultType->Details;
    return true;
}
