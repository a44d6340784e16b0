#include "CZuBase64Binary.h"

#include <limits.h>

#include <algorithm>
#include <memory>
#include <new>

#include "CZuContentSink.h"
#include "ZuAssetsConfig.h"
#include "stdsoap2.h"

namespace {

// What soap_get gives besides characters: EOF (-1) and the markup codes -2 to
// -6 (a start tag, an end tag, '>', '"', '\''); a character written as a
// reference comes with its top bit set, below all of them.
const soap_wchar kStartTag = -2;
const soap_wchar kEndTag = -3;
const soap_wchar kLowestMarkup = -6;

// Base64 characters gathered before they are decoded: a whole number of
// groups of four.
const size_t kTextChunk = 4096;
// The same for content that goes to a sink: larger pieces, fewer writes.
const size_t kSinkTextChunk = 65536;

// Whether the context hands the text of an element to the DOM (soap_putbase64
// then gives it the whole text at once) rather than sending it.
bool ToDom(const struct soap* soap) { return (soap->mode & SOAP_XML_DOM) && soap->dom; }

// Whether the context is in its counting pass and nothing but the count takes
// the bytes: the runtime's soap_send_raw then only adds their number to
// soap->count. With a send hook, or with the DOM, the bytes go through the
// runtime.
bool OnlyCounting(const struct soap* soap) {
    return (soap->mode & SOAP_IO_LENGTH) && !soap->fpreparesend && !soap->ffiltersend && !ToDom(soap);
}

// Bytes read from a source at a time: a whole number of groups of three, so
// that only the last piece can end with padding.
const size_t kSourcePiece = size_t(3) << 16;

#if ZU_FAST_BASE64
// Base64 characters encoded before they are handed to the runtime in one call.
const size_t kTextPiece = 16384;

const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Encodes size bytes into text as soap_putbase64 does: 4 characters for every
// 3 bytes, the last group padded with '='. Gives the number of characters,
// (size + 2) / 3 * 4.
size_t Encode(const unsigned char* bytes, size_t size, char* text) {
    char* out = text;
    for (; size >= 3; size -= 3, bytes += 3, out += 4) {
        unsigned group =
            static_cast<unsigned>(bytes[0]) << 16 | static_cast<unsigned>(bytes[1]) << 8 | bytes[2];
        out[0] = kDigits[group >> 18];
        out[1] = kDigits[group >> 12 & 0x3F];
        out[2] = kDigits[group >> 6 & 0x3F];
        out[3] = kDigits[group & 0x3F];
    }
    if (size) {
        unsigned group =
            static_cast<unsigned>(bytes[0]) << 16 | (size == 2 ? static_cast<unsigned>(bytes[1]) << 8 : 0u);
        out[0] = kDigits[group >> 18];
        out[1] = kDigits[group >> 12 & 0x3F];
        out[2] = size == 2 ? kDigits[group >> 6 & 0x3F] : '=';
        out[3] = '=';
        out += 4;
    }
    return static_cast<size_t>(out - text);
}

// Sends the base64 of size bytes (a whole number of groups unless they are the
// element's last), encoded a piece at a time, each piece in one call.
int PutBase64(struct soap* soap, const unsigned char* bytes, size_t size) {
    char text[kTextPiece];
    const size_t piece = kTextPiece / 4 * 3;
    while (size) {
        size_t n = std::min(size, piece);
        if (soap_send_raw(soap, text, Encode(bytes, n, text))) return soap->error;
        bytes += n;
        size -= n;
    }
    return SOAP_OK;
}
#else
int PutBase64(struct soap* soap, const unsigned char* bytes, size_t size) {
    return soap_putbase64(soap, bytes, static_cast<int>(size));
}
#endif

// Stops the message after its source failed: the runtime sends nothing more,
// and closes the connection rather than keep one that carries half a request.
int SourceFailed(struct soap* soap) {
    soap->keep_alive = 0;
    return soap->error = SOAP_USER_ERROR;
}

// Sends the base64 of the size bytes of source, read from its first byte.
int PutSource(struct soap* soap, CZuBase64Binary::Source* source, size_t size) {
    if (ToDom(soap)) {
        // The DOM takes the whole text: the bytes are read whole for it.
        unsigned char* bytes = static_cast<unsigned char*>(soap_malloc(soap, size));
        if (!bytes) return soap->error;
        if (!source->Rewind() || !source->Read(bytes, size)) return SourceFailed(soap);
        return soap_putbase64(soap, bytes, static_cast<int>(size));
    }
    std::unique_ptr<unsigned char[]> piece(new (std::nothrow) unsigned char[std::min(size, kSourcePiece)]);
    if (!piece) return soap->error = SOAP_EOM;
    if (!source->Rewind()) return SourceFailed(soap);
    while (size) {
        size_t n = std::min(size, kSourcePiece);
        if (!source->Read(piece.get(), n)) return SourceFailed(soap);
        if (PutBase64(soap, piece.get(), n)) return soap->error;
        size -= n;
    }
    return SOAP_OK;
}

// Writes the bytes of value as base64 text: nothing without bytes.
int PutContent(struct soap* soap, const CZuBase64Binary& value) {
    if (value.source)
        return value.__size > 0 ? PutSource(soap, value.source, static_cast<size_t>(value.__size)) : SOAP_OK;
    if (!value.__ptr) return SOAP_OK;
    if (ToDom(soap)) return soap_putbase64(soap, value.__ptr, value.__size);
    return value.__size > 0 ? PutBase64(soap, value.__ptr, static_cast<size_t>(value.__size)) : SOAP_OK;
}

// The most bytes the text of one element of the message being read can decode
// to: three for every four bytes of the message, whose length its HTTP header
// gave. 0 when that length is unknown (chunked, or not HTTP), is not the
// length of the text (compressed) or allows more than an int can count.
size_t DecodedBound(const struct soap* soap) {
    if (!soap->length || (soap->mode & SOAP_ENC_ZLIB) || (soap->imode & SOAP_IO) == SOAP_IO_CHUNK) return 0;
    if (soap->length / 4 > (INT_MAX - 2) / 3) return 0;
    return static_cast<size_t>(soap->length / 4 * 3 + 2);
}

// Decodes the count base64 characters at text (blanks left out, a whole
// number of groups unless they are the last) to bytes + *decoded, within
// capacity bytes. False with the context's error set when they do not fit or
// are not base64.
bool DecodeText(struct soap* soap, char* text, size_t count, unsigned char* bytes, size_t capacity,
                size_t* decoded) {
    if (!count) return true;
    size_t needed = count / 4 * 3 + (count % 4 > 1 ? count % 4 - 1 : 0);
    if (needed > capacity - *decoded) {
        soap->error = SOAP_LENGTH;
        return false;
    }
    text[count] = '\0';
    int size = 0;
    // The decoder ends its bytes with a NUL when there is room: the buffer has
    // one byte beyond its capacity for it.
    if (!soap_base642s(soap, text, reinterpret_cast<char*>(bytes + *decoded), capacity + 1 - *decoded, &size))
        return false;
    *decoded += static_cast<size_t>(size);
    return true;
}

// How the reader takes a byte of the runtime's input buffer: a blank to skip,
// a character to gather for the decoder (which refuses what is not base64), or
// one that soap_get must see - markup, a reference, the '=' that ends the
// content, the bytes of a character beyond ASCII.
enum ByteKind : unsigned char { GATHER, BLANK, MARKUP };

struct ByteKinds {
    unsigned char kind[256];
    ByteKinds() {
        for (int b = 0; b < 256; ++b) kind[b] = b <= ' ' ? BLANK : b >= 0x80 ? MARKUP : GATHER;
        for (unsigned char b : {'<', '>', '&', '"', '\'', '='}) kind[b] = MARKUP;
    }
};

const ByteKinds kByteKinds;

// Reads the text of the element being read, up to its end, and hands it on in
// pieces of at most chunk base64 characters (a whole number of groups of four,
// all but the last) to flush(text, count), which decodes them. The text is
// taken as the runtime's soap_getbase64 takes it: blanks skipped, the content
// ending at the first '=' or markup, the rest up to the end tag passed over.
// Plain characters are taken straight from the runtime's input buffer;
// everything else goes through soap_get, which knows references, CDATA
// sections and tags. text has room for chunk + 1 characters. False with the
// context's error set when flush failed or a character beyond ASCII came
// (SOAP_TYPE).
template <class Flush>
bool GatherContent(struct soap* soap, char* text, size_t chunk, Flush&& flush) {
    size_t count = 0;
    soap_wchar c;
    for (;;) {
        if (!soap->ahead && !soap->cdata) {
            const char* buffer = soap->buf;
            size_t at = soap->bufidx, end = soap->buflen;
            while (at < end) {
                unsigned char b = static_cast<unsigned char>(buffer[at]);
                unsigned char kind = kByteKinds.kind[b];
                if (kind == MARKUP) break;
                ++at;
                if (kind == BLANK) continue;
                text[count++] = static_cast<char>(b);
                if (count == chunk) {
                    soap->bufidx = at;
                    if (!flush(text, count)) return false;
                    count = 0;
                }
            }
            soap->bufidx = at;
        }
        c = soap_get(soap);
        if (c < kLowestMarkup) c &= 0x7FFFFFFF;
        if (c == '=' || c < 0) break;
        if (c <= ' ') continue;
        if (c > 0x7F) {
            soap->error = SOAP_TYPE;
            return false;
        }
        text[count++] = static_cast<char>(c);
        if (count == chunk) {
            if (!flush(text, count)) return false;
            count = 0;
        }
    }
    if (!flush(text, count)) return false;
    if (c >= 0)
        while ((c = soap_get(soap)) != EOF && c != kStartTag && c != kEndTag) {
        }
    soap_unget(soap, c);
    return true;
}

// Reads the text of the element being read (GatherContent) and decodes it as
// it comes into one buffer of capacity bytes allocated in the context, so that
// the bytes are never held twice. Null with the context's error set when the
// buffer cannot be had (soap->error SOAP_EOM), the text is not base64
// (SOAP_TYPE) or decodes to more than capacity bytes (SOAP_LENGTH).
unsigned char* DecodeContent(struct soap* soap, size_t capacity, int* size) {
    unsigned char* bytes = static_cast<unsigned char*>(soap_malloc(soap, capacity + 1));
    if (!bytes) return nullptr;
    char text[kTextChunk + 1];
    size_t decoded = 0;
    if (!GatherContent(soap, text, kTextChunk, [&](char* chunk, size_t count) {
            return DecodeText(soap, chunk, count, bytes, capacity, &decoded);
        }))
        return nullptr;
    *size = static_cast<int>(decoded);
    return bytes;
}

// Reads the text of the element being read (GatherContent) and hands its
// bytes to the sink piece by piece as they are decoded: what the element
// holds is never in memory at once. The text is bound by the message's
// length as in DecodeContent. False with the context's error set when the
// pieces' buffer cannot be had (SOAP_EOM), the text is not base64
// (SOAP_TYPE), decodes to more than the message's length allows
// (SOAP_LENGTH) or the sink refused bytes (SOAP_USER_ERROR).
bool StreamContent(struct soap* soap, CZuContentSink* sink) {
    const size_t capacity = kSinkTextChunk / 4 * 3;
    char* text = static_cast<char*>(soap_malloc(soap, kSinkTextChunk + 1 + capacity + 1));
    if (!text) return false;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(text + kSinkTextChunk + 1);
    size_t left = DecodedBound(soap);
    const bool bounded = left != 0;
    return GatherContent(soap, text, kSinkTextChunk, [&](char* chunk, size_t count) {
        size_t decoded = 0;
        if (!DecodeText(soap, chunk, count, bytes, capacity, &decoded)) return false;
        if (bounded) {
            if (decoded > left) {
                soap->error = SOAP_LENGTH;
                return false;
            }
            left -= decoded;
        }
        if (!decoded || sink->Take(bytes, decoded)) return true;
        soap->error = SOAP_USER_ERROR;
        return false;
    });
}

// The bytes of the element being read: decoded into one buffer when the
// message's length bounds them, else by the runtime's soap_getbase64, which
// gathers them in blocks and copies those into one buffer at the end.
unsigned char* ReadContent(struct soap* soap, int* size) {
    size_t bound = DecodedBound(soap);
    if (bound) {
        unsigned char* bytes = DecodeContent(soap, bound, size);
        if (bytes || soap->error != SOAP_EOM) return bytes;
        soap->error = SOAP_OK; // no room for the bound: the runtime's way needs only what comes
    }
    // File content is not text: the context's limit on a text's length
    // (maxlength) does not apply to it, as it does not to the way above.
    long maxlength = soap->maxlength;
    soap->maxlength = 0;
    unsigned char* bytes = soap_getbase64(soap, size, 0);
    soap->maxlength = maxlength;
    return bytes;
}

} // namespace

size_t CZuBase64Binary::EncodedLength(const CZuBase64Binary& value) {
    if ((!value.__ptr && !value.source) || value.__size <= 0) return 0;
    return (static_cast<size_t>(value.__size) + 2) / 3 * 4;
}

int CZuBase64Binary::WriteElement(struct soap* soap, const char* tag, int id, const CZuBase64Binary* value,
                                  int typeId, const char* type) {
    id = soap_attachment(soap, tag, id, value, value->__ptr, value->__size, value->id, value->type,
                         value->options, type, typeId);
    if (id < 0) return soap->error;
    if (soap_element_begin_out(soap, tag, id, type)) return soap->error;
    if (OnlyCounting(soap))
        soap->count += EncodedLength(*value);
    else if (PutContent(soap, *value))
        return soap->error;
    return soap_element_end_out(soap, tag);
}

CZuBase64Binary* CZuBase64Binary::ReadElement(struct soap* soap, const char* tag, CZuBase64Binary* value,
                                              const char* type, const Module& module) {
    if (soap_element_begin_in(soap, tag, 1, nullptr)) return nullptr;
    if (value && *soap->type && soap_match_tag(soap, soap->type, type) &&
        soap_match_tag(soap, soap->type, ":base64Binary") && soap_match_tag(soap, soap->type, ":base64")) {
        soap->error = SOAP_TYPE;
        return nullptr;
    }
    value = static_cast<CZuBase64Binary*>(soap_id_enter(soap, soap->id, value, module.typeId,
                                                        sizeof(CZuBase64Binary), soap->type, soap->arrayType,
                                                        module.instantiate, module.base));
    if (!value) return nullptr;
    *value = CZuBase64Binary();
    if (soap->body && !*soap->href) {
        // Content that goes to the sink leaves no bytes here; text that cannot
        // be read ends the element as it does when read into memory, a sink
        // that refused bytes ends the read.
        CZuContentSink* sink = CZuContentSink::Claim(soap, value);
        bool failed;
        if (sink) {
            failed = !StreamContent(soap, sink);
            if (failed && soap->error == SOAP_USER_ERROR) return nullptr;
        } else {
            value->__ptr = ReadContent(soap, &value->__size);
            failed = !value->__ptr;
        }
        if (soap_xop_forward(soap, &value->__ptr, &value->__size, &value->id, &value->type, &value->options))
            return nullptr;
        if ((failed && soap->error) || soap_element_end_in(soap, tag)) return nullptr;
        return value;
    }
    if (*soap->href != '#') {
        if (soap_attachment_forward(soap, &value->__ptr, &value->__size, &value->id, &value->type,
                                    &value->options))
            return nullptr;
    } else {
        value = static_cast<CZuBase64Binary*>(soap_id_forward(soap, soap->href, value, 0, module.typeId,
                                                              module.typeId, sizeof(CZuBase64Binary), 0,
                                                              module.insert, module.base));
    }
    if (soap->body && soap_element_end_in(soap, tag)) return nullptr;
    return value;
}
