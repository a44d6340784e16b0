// The content of an xsd:base64Binary element of the Assets messages (a file, an
// AAF composition, a headframe image), in every generated variant of them: the
// schema input binds xsd__base64Binary to this class, and the custom
// serializers of ZuBase64Binary.inc write and read it through WriteElement and
// ReadElement.
//
// The members keep the layout soapcpp2 gives the type, so messages are filled
// and read as before: the bytes and their count, and the id, MIME type and
// options of an attachment. A message never owns them: what is sent stays the
// caller's, what is read lives in the SOAP context.
//
// Writing gives the bytes as the runtime's soap_putbase64 writes them: 4
// characters for every 3 bytes, the last group padded with '=', no line
// breaks; nothing for a count of 0 or less, or without bytes (no pointer and no
// source). The bytes are held at __ptr, or read from a source as they are sent
// (a file): __size of them, in pieces of a few hundred KiB, so that a large
// file is never held whole. A source that fails midway stops the message with
// SOAP_USER_ERROR and the connection is closed without the rest. A message sent
// with a Content-Length is serialized twice, first only to count its bytes:
// that pass adds the length of the encoded text to the count without encoding
// or reading anything, unless something must see those bytes too (a send hook
// of the context, fpreparesend or ffiltersend, or the DOM), in which case it
// encodes them as the runtime does, reading the source in that pass as well
// (each pass rewinds it first). The bytes that go out are the same either way.
// Built with ZU_FAST_BASE64, the text is encoded here, a piece at a time,
// and each piece handed to the runtime in one call; otherwise soap_putbase64
// encodes it.
//
// Reading takes the text as the runtime's soap_getbase64 does. When the
// message's HTTP header gave its length, the text is decoded as it arrives into
// one buffer sized from that length (pages never written cost no memory), so a
// large file is held once; otherwise soap_getbase64 decodes it into blocks that
// it then copies into one buffer, holding the bytes twice for a moment. Text
// that decodes to more than the announced length allows is refused with
// SOAP_LENGTH. When a content sink is attached to the context (CZuContentSink)
// and has taken no element yet, the text of the element is decoded in pieces
// straight into the sink instead, whatever the framing, and the element is
// left without bytes (null, count 0); a sink that refuses bytes ends the read
// with SOAP_USER_ERROR. An MTOM include or an attachment reference is resolved
// by the runtime. The
// xsi:type of a required element (a member of its message) must be none,
// base64Binary, base64 or the type asked for; that of an optional element (a
// pointer, whose value the reader allocates) is not looked at, as the generated
// reader of the class did not.
#ifndef CZU_BASE64_BINARY_H
#define CZU_BASE64_BINARY_H

#include <stddef.h>

struct soap;

class CZuBase64Binary {
public:
    // What the generated module supplies for reading: the type's id and the
    // module's allocation and reference routines.
    struct Module {
        int typeId;
        void* (*instantiate)(struct soap*, int, const char*, const char*, size_t*);
        int (*base)(int, int);
        void (*insert)(struct soap*, int, int, void*, size_t, const void*, void**);
    };

    // Where the bytes of an element come from when they are read as they are
    // sent rather than held at __ptr. A writing pass rewinds it, then asks for
    // __size bytes in order.
    class Source {
    public:
        // Back to the first byte; false when that cannot be done.
        virtual bool Rewind() = 0;
        // The next size bytes into buffer; false when not all of them can be
        // had.
        virtual bool Read(unsigned char* buffer, size_t size) = 0;

    protected:
        ~Source() = default;
    };

    CZuBase64Binary()
        : __ptr(nullptr), __size(0), id(nullptr), type(nullptr), options(nullptr), source(nullptr) {}

    unsigned char* __ptr;
    int __size;
    char* id;
    char* type;
    char* options;
    // When not null, the bytes to write come from here (and __ptr is unused).
    Source* source;

    // The number of base64 characters written for value's bytes.
    static size_t EncodedLength(const CZuBase64Binary& value);

    // Writes the element tag with value's bytes as content (or, when the
    // context sends attachments and value names one, a reference to it).
    // Returns the context's error code.
    static int WriteElement(struct soap* soap, const char* tag, int id, const CZuBase64Binary* value,
                            int typeId, const char* type);

    // Reads the element tag into *value, or into a value allocated in the
    // context when value is null (its xsi:type then unchecked). Null on
    // failure, with the context's error set.
    static CZuBase64Binary* ReadElement(struct soap* soap, const char* tag, CZuBase64Binary* value,
                                        const char* type, const Module& module);
};

#endif // CZU_BASE64_BINARY_H
