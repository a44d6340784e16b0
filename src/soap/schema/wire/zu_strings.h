// String binding of the module's messages: narrow text in the calling thread's
// code page, converted where it meets XML character data by the custom
// serializers of ZuWireStrings.inc.

// Element text and attribute values.
extern typedef std::string xsd__string;
// The Name attribute of types:Attribute, which is read by its own rule.
extern typedef std::string zu__attributeName;
