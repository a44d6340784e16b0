// The local files that fetched headframes and versions are kept in: their
// names, derived from the asset's URI, and their writing.
#ifndef CZU_LOCAL_FILE_CACHE_H
#define CZU_LOCAL_FILE_CACHE_H

#include <stddef.h>

#include <string>

#include "KoCom.h"

class CZuLocalFileCache {
public:
    // The local file name of an asset: its narrowed URI without the first 32
    // bytes, followed by the extension. Characters that cannot stand in a file
    // name (separators among them) become '_', so the name never leads out of
    // its folder; double-byte characters are walked over whole, their second
    // byte left as it is.
    static std::string FileName(const std::string& narrowURI, const char* extension);

    // Writes size bytes into folder + name, creating or replacing the file:
    // the bytes go to a new file of the folder first, which then takes the
    // name, so the name holds either the former file or all of the new one.
    // The folder is not created. Returns ERROR_SUCCESS or the Win32 error that
    // stopped it; nothing is left behind on failure.
    static DWORD Write(const std::string& folder, const std::string& name, const unsigned char* bytes,
                       size_t size);
};

#endif // CZU_LOCAL_FILE_CACHE_H
