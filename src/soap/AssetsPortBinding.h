// The proxy of the Assets service's one port: a SOAP context of its own, the
// endpoint, the credentials header and one method per service operation.
//
// A binding serves one exchange. Each method posts the request to the endpoint
// (an empty SOAPAction, a SOAP 1.1 envelope, "Connection: close") and reads the
// response into *response, whose strings and sub-objects live in the binding's
// context until the binding is destroyed. It returns the runtime's code: 0 when
// the response element was read, otherwise the error met (connection, HTTP
// status, XML, memory, or the code of a SOAP fault: SOAP_CLI_FAULT for
// Client/Sender, SOAP_SVR_FAULT for Server/Receiver, SOAP_MUSTUNDERSTAND,
// SOAP_VERSIONMISMATCH, SOAP_FAULT for any other fault code; whatever prefix
// the server binds the envelope namespace to). A method returns
// SOAP_EOM without sending anything when the binding has no context, and
// SOAP_TCP_ERROR when the endpoint is the empty string: the runtime would read
// that as standard output and input. A null endpoint posts to the service's
// default URL, http://localhost/services/Assets.
//
// The context: keep-alive, chunking, strict parsing and the multibyte mode are
// off. SOAP_C_UTFSTRING is on: the runtime hands text and attribute values over
// as their UTF-8 bytes (in its default mode it would cut every character above
// U+00FF to one byte) and writes the attribute values it writes itself as
// UTF-8; message strings are converted by CZuWireText. SOAP_XML_TREE is on:
// document/literal messages carry no multi-reference ids, and the runtime then
// skips their bookkeeping. Sends never raise SIGPIPE (MSG_NOSIGNAL;
// over TLS, SIGPIPE is blocked on the thread during the call).
//
// Time-outs (SetTimeouts): the runtime's connect time-out, and its send and
// receive stall time-outs for the idle time-out. The whole-call deadline is
// kept by the binding's own transfer routines around the runtime's: each wait
// is cut to what is left of it, and once it has passed nothing more moves (the
// runtime's transfer time-out counts whole seconds, starts again when the
// answer is read and is never reached in its microsecond form). A connection
// attempt gets at most the deadline too. A call that runs into a time-out ends
// with the runtime's code: SOAP_TCP_ERROR for a connection attempt, SOAP_EOF
// for a stalled or overlong transfer.
//
// TLS (SetTls): an https:// endpoint is reached over TLS 1.2 or newer; by
// default the server's certificate is verified against the trusted
// certificates (a CA file, or the system's store) and must name the
// endpoint's host. Both happen while connecting: a server that fails them
// gets no byte of the request (and so never the password); the call ends with
// SOAP_SSL_ERROR and the report's runtime words say why in a user's words
// (expired, unknown issuer, another host) followed by the runtime's own. The
// handshake is bound by the idle time-out and the deadline. A build without
// TLS refuses an https:// endpoint with SOAP_SSL_ERROR before connecting.
//
// Responses are read within the bounds of CZuResponseLimits: the runtime's own
// limits on the context, and a response limit and per-element limits kept on
// the bytes as they arrive. A response beyond one is refused with SOAP_LENGTH
// (SOAP_LEVEL, SOAP_OCCURS for the runtime's depth and count limits), the
// report saying which limit.
//
// File content may go to a content sink instead of memory (SetContentSink,
// CZuContentSink): for the next call only, the first element with content of
// the response is decoded into the sink as it arrives. A call whose sink
// refused bytes ends with SOAP_USER_ERROR and ContentRefused().
//
// After each call Report() tells what it met (CZuTransportReport).
#ifndef ASSETS_PORT_BINDING_H
#define ASSETS_PORT_BINDING_H

#include <chrono>
#include <string>

#include "CZuContentSink.h"
#include "CZuResponseLimits.h"
#include "CZuTransportReport.h"
#include "IZuInterplayConnection.h"
#include "ZuAssetsH.h"

// The service operations, in the binding's order: X(operation, request type,
// response type), the types named without their "types__" prefix. The binding
// has one method __assets__<operation>(request, response) for each.
#define ZU_ASSETS_OPERATIONS(X)                                                   \
    X(GetStreamingURL, GetStreamingURLType, GetStreamingURLResponseType)          \
    X(AddReservation, AddReservationType, AddReservationResponseType)             \
    X(AddRestrictions, AddRestrictionsType, AddRestrictionsResponseType)          \
    X(CheckIn, CheckInType, CheckInResponseType)                                  \
    X(CheckInAAF, CheckInAAFType, CheckInAAFResponseType)                         \
    X(CreateFolder, CreateFolderType, CreateFolderResponseType)                   \
    X(CreateFolders, CreateFoldersType, CreateFoldersResponseType)                \
    X(CreateSubclip, CreateSubclipType, CreateSubclipResponseType)                \
    X(DeleteAssets, DeleteAssetsType, DeleteAssetsResponseType)                   \
    X(Duplicate, DuplicateType, DuplicateResponseType)                            \
    X(FindLinks, FindLinksType, FindLinksResponseType)                            \
    X(FindRelatives, FindRelativesType, FindRelativesResponseType)                \
    X(GetAttributes, GetAttributesType, GetAttributesResponseType)                \
    X(GetCategories, GetCategoriesType, GetCategoriesResponseType)                \
    X(GetChildren, GetChildrenType, GetChildrenResponseType)                      \
    X(GetFileDetails, GetFileDetailsType, GetFileDetailsResponseType)             \
    X(GetHeadframe, GetHeadframeType, GetHeadframeResponseType)                   \
    X(GetLatest, GetLatestType, GetLatestResponseType)                            \
    X(GetLocators, GetLocatorsType, GetLocatorsResponseType)                      \
    X(GetUMIDLocators, GetLocatorsType, GetUMIDLocatorsResponseType)              \
    X(GetMetaSyncXML, GetMetaSyncXMLType, GetMetaSyncXMLResponseType)             \
    X(GetReservations, GetReservationsType, GetReservationsResponseType)          \
    X(GetResolutions, GetResolutionsType, GetResolutionsResponseType)             \
    X(GetRestrictions, GetRestrictionsType, GetRestrictionsResponseType)          \
    X(LinkToMOB, LinkToMOBType, LinkToMOBResponseType)                            \
    X(ModifyFolderACLs, ModifyFolderACLsType, ModifyFolderACLsResponseType)       \
    X(Move, MoveType, MoveResponseType)                                           \
    X(Rename, RenameType, RenameResponseType)                                     \
    X(RemoveLocators, RemoveLocatorsType, RemoveLocatorsResponseType)             \
    X(RemoveUMIDLocators, RemoveUMIDLocatorsType, RemoveLocatorsResponseType)     \
    X(RemoveReservations, RemoveReservationsType, RemoveReservationsResponseType) \
    X(SaveLocators, SaveLocatorsType, SaveLocatorsResponseType)                   \
    X(SaveUMIDLocators, SaveUMIDLocatorsType, SaveUMIDLocatorsResponseType)       \
    X(Search, SearchType, SearchResponseType)                                     \
    X(SetAttributes, SetAttributesType, SetAttributesResponseType)                \
    X(SetCategories, SetCategoriesType, SetCategoriesResponseType)                \
    X(SetHeadframe, SetHeadframeType, SetHeadframeResponseType)                   \
    X(CreateShotlist, CreateShotlistType, CreateShotlistResponseType)             \
    X(CreateMasterClip, CreateMasterClipType, CreateMasterClipResponseType)       \
    X(GetCustomUserAttributes, GetCustomUserAttributesType, GetCustomUserAttributesResponseType)

class AssetsPortBinding {
public:
    // The mode the binding's context is created in.
    static const int CONTEXT_MODE = SOAP_C_UTFSTRING | SOAP_XML_TREE;

    // Creates the context; soap is null when that failed.
    AssetsPortBinding();
    // Frees everything the context allocated, then the context.
    virtual ~AssetsPortBinding();
    AssetsPortBinding(const AssetsPortBinding&) = delete;
    AssetsPortBinding& operator=(const AssetsPortBinding&) = delete;

    // Sets the credentials header: types:UserCredentials with copies of the
    // user name and password (text in the thread's code page), no
    // mustUnderstand. SOAP_OK, or SOAP_EOM when there is no context or the
    // header record cannot be allocated.
    int SetCredentials(const std::string& userName, const std::string& password);

    // The time-outs in milliseconds, 0 = none (see above). Without a context
    // nothing is set.
    void SetTimeouts(unsigned long connectMs, unsigned long idleMs, unsigned long callMs);
    // The trusted certificates for https:// endpoints (a CA bundle file,
    // UTF-8 path; empty: the system's store) and whether the server's
    // certificate is verified at all (on unless turned off). Before the
    // first call to an https:// endpoint.
    void SetTls(const std::string& caFile, bool verify);
    // The response limit in bytes, 0 for none (CZuResponseLimits).
    void SetResponseLimit(unsigned long bytes) { m_limits.SetResponseBytes(bytes); }
    // Whether this build speaks TLS (https:// endpoints).
    static bool SupportsTls();
    // Whether the endpoint is an https:// URL (scheme compared without case).
    static bool IsHttps(const char* endpoint);

    // The sink the next call's file content goes to; null: none (the
    // content is read into memory). Not owned; it outlives the call.
    void SetContentSink(CZuContentSink* sink) { m_sink = sink; }
    // Whether the last call ended because its content sink refused bytes.
    bool ContentRefused() const { return m_contentRefused; }

    // What the last call met: code 0 and nothing else after a success.
    const CZuTransportReport& Report() const { return m_report; }

    // The service operations (ZU_ASSETS_OPERATIONS), in the binding's order.
#define ZU_ASSETS_DECLARE_OPERATION(Operation, Request, Response)          \
    virtual int __assets__##Operation(ZuAssets::types__##Request* request, \
                                      ZuAssets::types__##Response* response);
    ZU_ASSETS_OPERATIONS(ZU_ASSETS_DECLARE_OPERATION)
#undef ZU_ASSETS_DECLARE_OPERATION

    // The runtime context, owned; null if it could not be created.
    struct soap* soap;
    // The URL requests go to; not owned. Null: the default URL.
    const char* endpoint;
    // Plain connections (no TLS, no proxy, with a connect time-out) are made
    // by a routine of our own instead of the runtime's, which waits for the
    // connecting socket to become writable alone. Ours also ends its wait
    // when the connect fails. On by default where a failed connect does not
    // make its socket writable (KoFailedConnectIsWritable): there the
    // runtime would learn of a refused connection only when its connect
    // time-out ends.
    bool ownConnect;

private:
    template <class Request, class Response>
    int Call(const char* operation, int (*call)(struct soap*, const char*, const char*, Request*, Response*),
             Request* request, Response* response);

    // The runtime's transfer routines, wrapped to keep the deadline and to
    // notice a time-out: the runtime reports a stall inside the HTTP header or
    // body as the answer's status code, a time-out is reported as SOAP_EOF with
    // the runtime's words for it.
    static int TimedSend(struct soap* soap, const char* data, size_t size);
    static size_t TimedRecv(struct soap* soap, char* data, size_t size);
    // The runtime's connection routine, wrapped to bound the TLS handshake
    // like a transfer and to keep the words for a refused server, or replaced
    // by the routine of our own (ownConnect).
    static SOAP_SOCKET TimedOpen(struct soap* soap, const char* endpoint, const char* host, int port);
    // Sets the context up for TLS once; SOAP_OK or the runtime's code.
    int PrepareTls(const char* operation);
    // The wait for the next transfer in the runtime's units; false (and
    // m_timedOut) once the deadline has passed or a wait timed out.
    bool PrepareWait(int* wait);
    // After a call: a response refused by the limits ends with the limit's
    // code and words, whatever the runtime made of its cut end.
    int RefusedResponse(int code, const char* operation);

    CZuTransportReport m_report;
    CZuResponseLimits m_limits{ZU_DEFAULT_RESPONSE_LIMIT_BYTES};
    int (*m_send)(struct soap*, const char*, size_t) = nullptr;
    size_t (*m_recv)(struct soap*, char*, size_t) = nullptr;
    SOAP_SOCKET (*m_open)(struct soap*, const char*, const char*, int) = nullptr;
    std::string m_caFile;
    bool m_verify = true;
    bool m_tlsReady = false;
    // Why the last connection attempt's TLS failed; empty: it did not.
    std::string m_tlsWords;
    bool m_timedOut = false;
    CZuContentSink* m_sink = nullptr;
    bool m_contentRefused = false;
    // Bytes moved by the current call.
    unsigned long long m_sent = 0;
    unsigned long long m_received = 0;
    unsigned long m_idleMs = 0;
    unsigned long m_callMs = 0;
    std::chrono::steady_clock::time_point m_deadline;
};

#endif // ASSETS_PORT_BINDING_H
