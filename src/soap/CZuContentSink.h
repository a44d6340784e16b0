// Where the reader of xsd:base64Binary content (CZuBase64Binary) puts the
// bytes of a file as they are decoded, instead of one buffer in memory: a
// fetched file then goes to its destination as it arrives, and a response of
// any size is read in the same small memory.
//
// A sink is attached to a context for one response (AssetsPortBinding's
// SetContentSink does it around a call). It takes the content of the first
// element with content read while it is attached (Claim), in pieces, through
// Write; every other element is read into memory as without a sink. The
// element it took is left without bytes of its own (null, count 0); Holds
// tells the caller whether an element of the message read is that one. A sink
// that refuses bytes (Write false: a local file could not be written) stops
// the read: the reader sets the context's error to SOAP_USER_ERROR, and
// Refused() is true from then on.
//
// The sink is found through the runtime's plugin registry, not through the
// context's user data, which is not always ours to read.
#ifndef CZU_CONTENT_SINK_H
#define CZU_CONTENT_SINK_H

#include <stddef.h>

struct soap;
class CZuBase64Binary;

class CZuContentSink {
public:
    CZuContentSink() = default;
    virtual ~CZuContentSink() = default;
    CZuContentSink(const CZuContentSink&) = delete;
    CZuContentSink& operator=(const CZuContentSink&) = delete;

    // Attaches sink to the context, replacing the one attached before (null:
    // none). SOAP_OK, or SOAP_EOM when the context had no room for it (the
    // context's error left as it was; nothing is attached then).
    static int Attach(struct soap* soap, CZuContentSink* sink);

    // For the reader: the attached sink when it has taken no element yet,
    // now taking element's content; otherwise null.
    static CZuContentSink* Claim(struct soap* soap, const CZuBase64Binary* element);

    // For the reader: hands the next size bytes on; false once the sink
    // refused them.
    bool Take(const unsigned char* bytes, size_t size);

    // Whether the sink took element's content (element not null) and the
    // element has no bytes of its own.
    bool Holds(const CZuBase64Binary* element) const;
    // Whether the sink refused bytes.
    bool Refused() const { return m_refused; }

protected:
    // Takes the next size bytes of the content (size may be 0); false when
    // they cannot be kept.
    virtual bool Write(const unsigned char* bytes, size_t size) = 0;

private:
    const CZuBase64Binary* m_element = nullptr;
    bool m_refused = false;
};

#endif // CZU_CONTENT_SINK_H
