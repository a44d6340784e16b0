// The connection settings of an access object and what its last exchange with
// the service met: a second interface of the access object, reached through
// QueryInterface (IID_IZuInterplayConnection) on it or, when it is aggregated,
// through its inner unknown and then on any of its interfaces.
//
// Time-outs, in milliseconds, 0 = none:
//   connect  how long a connection attempt may take        (default 30000)
//   idle     how long a call may wait with no byte moving in
//            either direction, sending or receiving        (default 300000)
//   call     how long a whole call may take: connecting,
//            sending the request and reading the answer   (default 0: none)
// A call that runs into a time-out fails like any other transport failure:
// the runtime's code as the result, the operation's usual last error text and
// log lines; the next call on the object starts afresh.
//
// Trusted certificates: the file of a CA bundle (PEM) against which an
// https:// server's certificate is verified, or none (null or empty) for the
// system's own store. Verification is on unless a host turns it off. A build
// without TLS support refuses an https:// service URL at once: nothing is sent,
// the result is the runtime's SSL error code and the last error text says so.
//
// Machine-wide defaults, read when an access object is created, from the key
// HKEY_CLASSES_ROOT\CLSID\{F760A3F0-B7DE-4909-9BB2-630F8E04C828}\Settings
// (a value that is absent or unreadable keeps the built-in default):
//   ConnectTimeoutMs         REG_DWORD (or REG_SZ, decimal)  connect time-out
//   IdleTimeoutMs            REG_DWORD (or REG_SZ, decimal)  idle time-out
//   CallTimeoutMs            REG_DWORD (or REG_SZ, decimal)  whole-call deadline
//   TrustedCertificates      REG_SZ                          CA bundle file
//   VerifyServerCertificate  REG_DWORD (or REG_SZ, decimal)  0 turns it off
//   ResponseLimitBytes       REG_DWORD (or REG_SZ, decimal)  response limit
// Unregistering the component removes its key, these values with it.
//
// Response limit: the most bytes a response may have, its HTTP header and any
// file content included (a fetched version or headframe counts with its base64
// text, 4 bytes for every 3 of the file); 0 = none. The default, 256 MiB, is
// ten times a listing of 100,000 assets. Whatever the limit, a response is
// also refused when one element carries more than 512 attributes or 64
// namespace declarations, when elements nest more than 200 deep, when one
// list has more than 10,000,000 items, or when one text (other than file
// content) is longer than 16 MiB. A refused response is a transport failure:
// the result is SOAP_LENGTH (SOAP_LEVEL or SOAP_OCCURS for the depth and the
// count), the last error text says the response was refused as too large or
// malformed, and the last exchange's runtime words say which limit it broke.
//
// The last exchange: every service operation that reaches the point of
// sending replaces what the previous one left, success included (code 0).
// After a failure it holds the runtime's code, the HTTP status of the answer
// (0 when no status line was read), the fault code, fault string and fault
// detail of a SOAP fault the server answered with (empty otherwise), and the
// runtime's own words for its code. After a success it holds code 0 and the
// answer's HTTP status. Either way it tells how many bytes the exchange sent
// and received (ZU_TRANSPORT_EXCHANGE_SIZES). The operation's result and last
// error text are not changed by any of this. No password appears in these
// texts.
#ifndef IZU_INTERPLAY_CONNECTION_H
#define IZU_INTERPLAY_CONNECTION_H

#include "KoCom.h"

// {A2775DF4-3BD2-46BD-B388-31F00ED2621B}
inline constexpr IID IID_IZuInterplayConnection = {
    0xA2775DF4, 0x3BD2, 0x46BD, {0xB3, 0x88, 0x31, 0xF0, 0x0E, 0xD2, 0x62, 0x1B}};

// The built-in defaults, in milliseconds.
enum : ULONG {
    ZU_DEFAULT_CONNECT_TIMEOUT_MS = 30000,
    ZU_DEFAULT_IDLE_TIMEOUT_MS = 300000,
    ZU_DEFAULT_CALL_TIMEOUT_MS = 0,
};

// The built-in response limit, in bytes.
enum : ULONG { ZU_DEFAULT_RESPONSE_LIMIT_BYTES = 256u * 1024u * 1024u };

// The texts of the last exchange (GetLastTransportText).
enum ZuTransportText : int {
    ZU_TRANSPORT_FAULT_CODE = 0,     // e.g. "SOAP-ENV:Server"
    ZU_TRANSPORT_FAULT_STRING = 1,   // the server's faultstring or Reason
    ZU_TRANSPORT_FAULT_DETAIL = 2,   // the fault's detail
    ZU_TRANSPORT_RUNTIME_WORDS = 3,  // the runtime's words for its code
    ZU_TRANSPORT_EXCHANGE_SIZES = 4, // e.g. "812 bytes sent, 1532 bytes received"
};

// Texts come back through the caller's buffer of bufferChars wide characters,
// terminator included: S_OK when the whole text fit, S_FALSE when it was cut
// to the longest prefix of whole characters that fits (never half of a
// surrogate pair). *neededChars, when given, is set to the characters the
// whole text needs with its terminator; buffer may then be null with
// bufferChars 0. A null buffer with a positive size, or a negative size, is
// ZU_E_INVALIDARG.
struct IZuInterplayConnection : public IUnknown {
    STDMETHOD(SetTimeouts)(ULONG connectMs, ULONG idleMs, ULONG callMs) PURE;
    // Any pointer may be null.
    STDMETHOD(GetTimeouts)(ULONG* connectMs, ULONG* idleMs, ULONG* callMs) PURE;
    // The CA bundle file; null or empty: the system's store.
    STDMETHOD(SetTrustedCertificates)(const wchar_t* caFile) PURE;
    // The CA bundle file, "" for the system's store.
    STDMETHOD(GetTrustedCertificates)(wchar_t* buffer, int bufferChars, int* neededChars) PURE;
    STDMETHOD(SetVerifyServer)(bool verify) PURE;
    STDMETHOD(GetVerifyServer)(bool* verify) PURE;
    // The last exchange's runtime code and HTTP status (either may be null).
    STDMETHOD(GetLastTransportError)(int* runtimeCode, int* httpStatus) PURE;
    // One text of the last exchange; ZU_E_INVALIDARG for an unknown kind.
    STDMETHOD(GetLastTransportText)(int kind, wchar_t* buffer, int bufferChars, int* neededChars) PURE;
    // The response limit in bytes, 0 = none.
    STDMETHOD(SetResponseLimit)(ULONG bytes) PURE;
    // bytes may not be null.
    STDMETHOD(GetResponseLimit)(ULONG* bytes) PURE;
};

#endif // IZU_INTERPLAY_CONNECTION_H
