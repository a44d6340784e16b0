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
// breaks; nothing for a null pointer or a count of 0 or less. A message sent
// with a Content-Length is serialized twice, first only to count its bytes:
// that pass adds the length of the encoded text to the count without encoding
// anything, unless something must see those bytes too (a send hook of the
// context, fpreparesend or ffiltersend, or the DOM), in which case it encodes
// them as the runtime does. The bytes that go out are the same either way.
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

    CZuBase64Binary() : __ptr(nullptr), __size(0), id(nullptr), type(nullptr), options(nullptr) {}

    unsigned char* __ptr;
    int __size;
    char* id;
    char* type;
    char* options;

    // The number of base64 characters written for size bytes at ptr.
    static size_t EncodedLength(const unsigned char* ptr, int size);

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
