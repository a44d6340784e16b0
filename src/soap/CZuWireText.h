// The module's conversion between its strings (narrow text in the calling
// thread's code page) and XML character data. It is used by the custom string
// serializers of the generated messages (ZuWireStrings.inc) and works on the
// SOAP context's output and input only through the runtime's own primitives.
//
// Outgoing text, element text and attribute values alike:
//   - printable ASCII goes through the runtime's escaping (soap_string_out):
//     & and < everywhere, > in element text, " in attribute values, tab in
//     attribute values, carriage return everywhere;
//   - line feed is written "&#xA;" everywhere (the runtime leaves it raw in
//     element text);
//   - a character of the code page beyond ASCII (in the double-byte code pages
//     a lead byte and its trail byte) is written as one decimal character
//     reference "&#N;" of its Unicode value;
//   - bytes that form no character of the code page, such as a lone lead byte
//     at the end of the text or a lead byte followed by a byte that cannot
//     trail it, and the control bytes below 0x20 other than tab, line feed and
//     carriage return, which XML cannot carry, are written as the replacement
//     character "&#65533;", one per byte; the bytes after them are converted as
//     usual, so nothing outside the text is read and the XML stays well formed.
//
// Attribute values wait in the context's attribute list, as UTF-8, until the
// start tag is written (AttributeValue makes that form, with the same
// replacements). WriteElement writes the start tag of an element of string
// content itself and converts the waiting values like element text: so are
// written the Group and Name of types:Attribute, the only attributes that carry
// the user's text. The attributes of other elements (condition operators and
// the like) are written by the runtime, which in the module's context mode
// (SOAP_C_UTFSTRING) writes characters beyond ASCII as UTF-8 bytes.
//
// Incoming text, element text and attribute values alike: the runtime decodes
// UTF-8 and character references and hands the text over as UTF-8 (the
// context's string mode); ASCII is kept as it is and every other character is
// converted to the thread's code page (characters it lacks become '?'; so do
// bytes that are not UTF-8). The Name attribute of types:Attribute keeps at
// most MAX_NAME_CHARS characters (AttributeName).
#ifndef CZU_WIRE_TEXT_H
#define CZU_WIRE_TEXT_H

#include <stddef.h>

#include <string>

struct soap;

class CZuWireText {
public:
    // Most characters an attribute name keeps (AttributeName).
    enum { MAX_NAME_CHARS = 255 };

    // Writes text (NUL-terminated, thread code page) as character data of
    // element text or of an attribute value. Returns the context's error code.
    static int Write(struct soap* soap, const char* text, bool attribute);
    // Same for UTF-8 text; bytes that are not UTF-8 count as replacement
    // characters.
    static int WriteUtf8(struct soap* soap, const char* text, bool attribute);

    // Writes an element of string content: the start tag with the attributes
    // waiting in the context (converted), the text, the end tag; an empty text
    // gives an empty-element tag. typeId identifies the string type for the
    // runtime's multi-reference bookkeeping.
    static int WriteElement(struct soap* soap, const char* tag, int id, const std::string* text, int typeId,
                            const char* type);

    // Reads an element of string content into *text (allocated in the context
    // by newString when text is null). Null on failure, with the context's
    // error set.
    static std::string* ReadElement(struct soap* soap, const char* tag, std::string* text,
                                    std::string* (*newString)(struct soap*));

    // The form an attribute value waits in: UTF-8, allocated in the context.
    static const char* AttributeValue(struct soap* soap, const std::string& text);

    // Incoming text (element text or attribute value) as the runtime hands it
    // over (UTF-8, the context's string mode) in the module's form; null gives
    // the empty text.
    static void FromUtf8(const char* text, std::string& out);

    // The Name attribute of types:Attribute as the runtime hands it over, in
    // the module's form: as FromUtf8, keeping at most MAX_NAME_CHARS
    // characters.
    static void AttributeName(const char* text, std::string& out);
};

#endif // CZU_WIRE_TEXT_H
