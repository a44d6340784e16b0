// Reads a canned HTTP response in memory, as the response of GetChildren,
// through a fresh binding, and touches everything read: for the mutation test
// and the fuzzer.
#ifndef ZU_SOAP_RESPONSE_READER_H
#define ZU_SOAP_RESPONSE_READER_H

#include <stddef.h>

#include <string>

struct ResponseReading {
    int code = 0;          // the runtime's result
    size_t strings = 0;    // strings read
    size_t characters = 0; // bytes in them
};

ResponseReading ReadGetChildrenResponse(const std::string& httpResponse);

#endif // ZU_SOAP_RESPONSE_READER_H
