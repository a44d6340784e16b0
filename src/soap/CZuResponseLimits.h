// What a response may cost: the bounds a binding's context reads a response
// within, so that time and memory grow with what the service sends and not
// faster, whatever a broken or hostile server sends.
//
// The runtime's own limits, set on the context (Apply):
//   nesting      at most kMaxDepth element levels (the service's messages
//                nest about ten deep)
//   occurrences  at most kMaxOccurs items in one list
//   text         at most kMaxTextBytes in one text or attribute value; file
//                content (xsd:base64Binary) is exempt and counts toward the
//                response limit only (CZuBase64Binary)
// Ours, kept by a scanner over the bytes as they arrive (Scan), before the
// runtime parses them:
//   depth        the same kMaxDepth, also for the elements the runtime skips
//   response     at most the response limit in bytes, the HTTP header and file
//                content included (0: none); a fetched file counts with its
//                base64 text, 4 bytes for every 3 of the file
//   attributes   at most kMaxAttributes attributes and kMaxNamespaces
//                namespace declarations on one element: the runtime's parser
//                takes time quadratic in these, and the service sends a
//                handful; no attribute value longer than kMaxTextBytes
// A response beyond any of them is refused: the call ends with SOAP_LENGTH
// (SOAP_LEVEL and SOAP_OCCURS for the runtime's own depth and count limits).
#ifndef CZU_RESPONSE_LIMITS_H
#define CZU_RESPONSE_LIMITS_H

#include <stddef.h>

struct soap;

class CZuResponseLimits {
public:
    static const unsigned kMaxDepth = 200;
    static const size_t kMaxOccurs = 10000000;
    static const long kMaxTextBytes = 16L * 1024 * 1024;
    static const unsigned kMaxAttributes = 512;
    static const unsigned kMaxNamespaces = 64;
    // responseBytes: the response limit, 0 for none.
    explicit CZuResponseLimits(unsigned long responseBytes);

    // The runtime's limits on the context.
    static void Apply(struct soap* soap);

    // Starts a response afresh.
    void Reset();
    // Takes the next bytes of the response; false (and from then on
    // Refused()) once they break a limit.
    bool Scan(const char* data, size_t size);
    bool Refused() const { return m_refused; }
    // What was refused, for the report; null when nothing was.
    const char* Reason() const { return m_reason; }
    // The runtime's code for it: SOAP_LENGTH, or SOAP_LEVEL for the depth.
    int Code() const { return m_code; }

    unsigned long ResponseBytes() const { return m_limit; }
    void SetResponseBytes(unsigned long bytes) { m_limit = bytes; }

private:
    enum State { TEXT, TAG_OPEN, TAG, VALUE, END_TAG, MARKUP, COMMENT, CDATA, PI, SKIP_TAG };

    bool Refuse(const char* reason, int code);

    unsigned long m_limit;
    unsigned long long m_received = 0;
    State m_state = TEXT;
    char m_quote = 0;
    unsigned long m_valueLength = 0;
    // In a tag: the attributes and declarations so far, and the start of the
    // current name (enough to tell "xmlns" and "xmlns:").
    unsigned m_attributes = 0;
    unsigned m_namespaces = 0;
    char m_name[6] = {};
    unsigned m_nameLength = 0;
    // Whether a blank ended the last name: the next character starts another.
    bool m_nameEnded = false;
    // The characters of a closing sequence matched so far ("-->", "]]>",
    // "?>") or of the opening one after "<!" ("--", "[CDATA[").
    unsigned m_matched = 0;
    const char* m_opening = nullptr;
    // Elements open, and whether the last byte was '/'.
    unsigned m_depth = 0;
    bool m_slash = false;
    bool m_refused = false;
    const char* m_reason = nullptr;
    int m_code = 0;
};

#endif // CZU_RESPONSE_LIMITS_H
