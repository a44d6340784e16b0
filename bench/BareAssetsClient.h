// The benchmark's baseline: the same exchanges done by a bare gSOAP client,
// with the plain variant of the messages (UTF-8 strings, the runtime's own
// string handling, no conversion), one fresh context per exchange.
#ifndef ZU_BARE_ASSETS_CLIENT_H
#define ZU_BARE_ASSETS_CLIENT_H

#include <stddef.h>

#include <string>

namespace bare {

// The runtime's mode of the contexts: UTF-8 strings; the module's binding adds
// SOAP_XML_TREE (no multi-reference bookkeeping), which can be asked for too.
int DefaultMode();
int ModuleMode();

// Posts a CheckInAAF request carrying size bytes of file; the runtime's code.
int CheckInAAF(const std::string& url, unsigned char* file, int size, int mode);
// Gets a folder's children and reads every string of the response; the
// runtime's code, the assets and the bytes of text read.
int GetChildren(const std::string& url, size_t* assets, size_t* textBytes, int mode);
// The same for a search of 5,000 results under the folder, no conditions.
int Search(const std::string& url, size_t* assets, size_t* textBytes, int mode);

} // namespace bare

#endif // ZU_BARE_ASSETS_CLIENT_H
