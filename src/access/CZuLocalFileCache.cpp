#include "CZuLocalFileCache.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>

#include <atomic>
#include <chrono>
#include <utility>

#include "KoWindows.h"

namespace {

// Local files are named after the asset's narrowed URI without this many
// leading bytes.
const size_t kURIPrefixBytes = 32;

// The Win32 error of the C runtime's last failure; never ERROR_SUCCESS.
DWORD RuntimeError() {
    DWORD error = KoWin32ErrorFromErrno(errno);
    return error ? error : ERROR_GEN_FAILURE;
}

// The last error of a failed platform call; never ERROR_SUCCESS.
DWORD LastError() { return GetLastError() ? GetLastError() : ERROR_GEN_FAILURE; }

// Bytes of the first character of text[0, bytes) in the thread's code page
// (a byte that starts no valid character is one of its own).
size_t FirstCharacterBytes(const char* text, size_t bytes) {
    for (size_t length = 1; length < bytes; ++length)
        if (KoWholeCharPrefix(CP_THREAD_ACP, text, bytes, length) != 0) return length;
    return bytes;
}

bool CannotStandInAFileName(unsigned char c) {
    switch (c) {
    case '\\':
    case '/':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
        return true;
    default:
        return c < 0x20;
    }
}

// A name for a file being written, unique within the process and unlikely to
// be taken by another.
std::string TemporaryName() {
    static std::atomic<unsigned> counter{0};
    unsigned long long stamp =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char name[64];
    snprintf(name, sizeof name, "~zu%llx-%x.tmp", stamp, counter.fetch_add(1));
    return name;
}

} // namespace

std::string CZuLocalFileCache::FileName(const std::string& narrowURI, const char* extension) {
    std::string name = narrowURI.size() > kURIPrefixBytes ? narrowURI.substr(kURIPrefixBytes) : std::string();
    for (size_t i = 0; i < name.size();) {
        size_t length = FirstCharacterBytes(name.data() + i, name.size() - i);
        if (length == 1 && CannotStandInAFileName(static_cast<unsigned char>(name[i]))) name[i] = '_';
        i += length;
    }
    return name + extension;
}

DWORD CZuLocalFileCache::Write(const std::string& folder, const std::string& name, const unsigned char* bytes,
                               size_t size) {
    CZuBase64Binary content;
    content.__ptr = const_cast<unsigned char*>(bytes);
    content.__size = static_cast<int>(size);
    Writer writer(folder, name);
    return size > static_cast<size_t>(INT_MAX) ? ERROR_INVALID_PARAMETER : writer.Commit(&content);
}

CZuLocalFileCache::Writer::Writer(std::string folder, std::string name)
    : m_folder(std::move(folder)), m_name(std::move(name)), m_error(ERROR_SUCCESS) {}

CZuLocalFileCache::Writer::~Writer() { Discard(); }

DWORD CZuLocalFileCache::Writer::Open() {
    for (int attempt = 0; attempt < 8 && !m_file; ++attempt) {
        m_temporary = m_folder + TemporaryName();
        m_file = KoOpenFileA(m_temporary.c_str(), "wbx");
        if (!m_file && GetLastError() != ERROR_FILE_EXISTS) return LastError();
    }
    return m_file ? ERROR_SUCCESS : ERROR_FILE_EXISTS;
}

void CZuLocalFileCache::Writer::Discard() {
    if (!m_file) return;
    fclose(m_file);
    m_file = nullptr;
    DeleteFileA(m_temporary.c_str());
}

// Called from inside the runtime's reader: nothing is thrown from here.
bool CZuLocalFileCache::Writer::Write(const unsigned char* bytes, size_t size) {
    if (m_error == ERROR_SUCCESS && !m_file) {
        try {
            m_error = Open();
        } catch (...) {
            m_error = ERROR_NOT_ENOUGH_MEMORY;
        }
    }
    if (m_error == ERROR_SUCCESS && size && fwrite(bytes, 1, size, m_file) != size) m_error = RuntimeError();
    m_bytes += size;
    return m_error == ERROR_SUCCESS;
}

unsigned long long CZuLocalFileCache::Writer::SizeOf(const CZuBase64Binary* element) const {
    if (Holds(element)) return m_bytes;
    return element && element->__ptr && element->__size > 0 ? static_cast<unsigned long long>(element->__size)
                                                            : 0;
}

DWORD CZuLocalFileCache::Writer::Commit(const CZuBase64Binary* element) {
    if (!Holds(element)) {
        // What the writer took, if anything, is not the element's.
        Discard();
        m_error = ERROR_SUCCESS;
        m_bytes = 0;
        size_t size = static_cast<size_t>(SizeOf(element));
        Write(size ? element->__ptr : nullptr, size);
    } else if (m_error == ERROR_SUCCESS && !m_file) {
        m_error = Open(); // an empty file
    }
    if (m_error != ERROR_SUCCESS) {
        Discard();
        return m_error;
    }
    FILE* file = m_file;
    m_file = nullptr;
    if (fclose(file) != 0) m_error = RuntimeError();
    if (m_error == ERROR_SUCCESS &&
        !MoveFileExA(m_temporary.c_str(), (m_folder + m_name).c_str(), MOVEFILE_REPLACE_EXISTING))
        m_error = LastError();
    if (m_error != ERROR_SUCCESS) DeleteFileA(m_temporary.c_str());
    return m_error;
}
