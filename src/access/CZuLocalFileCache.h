// The local files that fetched headframes and versions are kept in: their
// names, derived from the asset's URI, and their writing.
#ifndef CZU_LOCAL_FILE_CACHE_H
#define CZU_LOCAL_FILE_CACHE_H

#include <stddef.h>
#include <stdio.h>

#include <string>

#include "CZuBase64Binary.h"
#include "CZuContentSink.h"
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

    // The same in steps, as the content sink of a fetch: the bytes of the
    // file go, as they come, to a new file of the folder (created with the
    // first of them), which takes the name on Commit. Until then, and when
    // anything fails, the name keeps the former file; a writer that goes
    // without committing removes its new file.
    class Writer : public CZuContentSink {
    public:
        Writer(std::string folder, std::string name);
        ~Writer() override;

        // The bytes of the element's content: those the writer took when it
        // holds the element, else the element's own (none for null).
        unsigned long long SizeOf(const CZuBase64Binary* element) const;
        // Gives the name a file with the element's content: the bytes the
        // writer took when it holds the element, else the element's own
        // (none for null). ERROR_SUCCESS, or the Win32 error of the first
        // failure, bytes taken before included; the name then keeps the
        // former file.
        DWORD Commit(const CZuBase64Binary* element);

    protected:
        bool Write(const unsigned char* bytes, size_t size) override;

    private:
        DWORD Open();
        void Discard();

        std::string m_folder;
        std::string m_name;
        std::string m_temporary;
        FILE* m_file = nullptr;
        unsigned long long m_bytes = 0;
        DWORD m_error;
    };
};

#endif // CZU_LOCAL_FILE_CACHE_H
