// String binding of the plain variant of the messages: ordinary std::string
// holding UTF-8 (use the context mode SOAP_C_UTFSTRING).

typedef std::string xsd__string;
typedef std::string zu__attributeName;
