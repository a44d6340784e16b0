// Check-in of files and AAF compositions, with their headframe and attributes.
#include <errno.h>
#include <limits.h>
#include <stdio.h>

#include <string>

#include "CZuAttributeRecords.h"
#include "CZuBase64Binary.h"
#include "CZuInterplayAccess.h"
#include "CZuServiceCall.h"
#include "KoResult.h"
#include "KoText.h"
#include "KoTrace.h"
#include "KoWindows.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

using namespace ZuAssets;

namespace {

HRESULT FromWin32(DWORD error) { return error ? HRESULT_FROM_WIN32(error) : ZU_E_FAILED; }

// The Win32 error of the C runtime's last failure; never ERROR_SUCCESS.
DWORD RuntimeError() {
    DWORD error = KoWin32ErrorFromErrno(errno);
    return error ? error : ERROR_GEN_FAILURE;
}

// A local file checked in: checked before anything is sent, then read a piece
// at a time as the request goes out (the runtime's serializer asks for its
// bytes), so that it is never held whole.
class CheckInFile final : public CZuBase64Binary::Source {
public:
    // failure is where a read that fails while the request is sent leaves its
    // HRESULT and text.
    explicit CheckInFile(CZuServiceCall::SourceFailure& failure) : m_failure(failure) {}
    ~CheckInFile() {
        if (m_file) fclose(m_file);
    }
    CheckInFile(const CheckInFile&) = delete;
    CheckInFile& operator=(const CheckInFile&) = delete;

    // Opens the file at path (a Windows path in the thread's code page) and
    // checks it: its size known and under 2 GiB, its first and last bytes
    // readable. On failure the last error text names the file and nothing is
    // kept open.
    HRESULT Open(const std::string& path, std::string& lastErrorText) {
        m_path = path;
        DWORD error = Check();
        if (error == ERROR_SUCCESS) return S_OK;
        if (m_file) fclose(m_file);
        m_file = nullptr;
        m_size = 0;
        lastErrorText = (error == ERROR_FILE_TOO_LARGE ? ZU_TEXT_TOO_LARGE : ZU_TEXT_CANNOT_READ) + path;
        return FromWin32(error);
    }

    // Makes the file the message element's source.
    void Lend(xsd__base64Binary& element) {
        element.source = this;
        element.__size = m_size;
    }

    bool Rewind() override {
        clearerr(m_file);
        return fseeko(m_file, 0, SEEK_SET) == 0 || Fail(RuntimeError());
    }

    bool Read(unsigned char* buffer, size_t size) override {
        if (fread(buffer, 1, size, m_file) == size) return true;
        // A file that shrank since it was checked reads short.
        return Fail(ferror(m_file) ? RuntimeError() : ERROR_HANDLE_EOF);
    }

private:
    DWORD Check() {
        m_file = KoOpenFileA(m_path.c_str(), "rb");
        if (!m_file) return GetLastError() ? GetLastError() : ERROR_GEN_FAILURE;
        off_t size = -1;
        if (fseeko(m_file, 0, SEEK_END) != 0 || (size = ftello(m_file)) < 0) return RuntimeError();
        // The message counts its bytes in a signed 32-bit number.
        if (size > INT_MAX) return ERROR_FILE_TOO_LARGE;
        // The first and the last byte: a file that cannot be read, or that
        // reads shorter than its size says, fails here, before anything is
        // sent.
        for (off_t at : {off_t(0), size - 1}) {
            if (at < 0) continue;
            if (fseeko(m_file, at, SEEK_SET) != 0) return RuntimeError();
            if (fgetc(m_file) != EOF) continue;
            if (ferror(m_file)) return RuntimeError();
            if (size) return ERROR_HANDLE_EOF;
        }
        if (fseeko(m_file, 0, SEEK_SET) != 0) return RuntimeError();
        m_size = static_cast<int>(size);
        return ERROR_SUCCESS;
    }

    bool Fail(DWORD error) {
        m_failure.hr = FromWin32(error);
        m_failure.text = ZU_TEXT_CANNOT_READ + m_path;
        return false;
    }

    CZuServiceCall::SourceFailure& m_failure;
    std::string m_path;
    FILE* m_file = nullptr;
    int m_size = 0;
};

} // namespace

HRESULT CZuInterplayAccess::CheckIn(const wchar_t* filePath, const wchar_t* targetURI,
                                    IZuInterplayMobAttributeList* attributes) {
    if (!filePath || !targetURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        // The file is checked before anything is sent, and read as it is.
        CZuServiceCall::SourceFailure failure;
        CheckInFile file(failure);
        KO_RETURN_IF_FAILED(file.Open(Narrow(filePath, ZU_NARROW_URI), m_lastErrorText));

        CZuServiceCall call = OpenCall();
        types__CheckInType request;
        request.InterplayURI = Narrow(targetURI, ZU_NARROW_URI);
        file.Lend(request.File);
        CZuAttributeRecords records;
        HRESULT running = S_OK;
        if (attributes) {
            running = records.ReadList(attributes, CZuAttributeRecords::Limits::Buffers, false);
            request.Attributes = records.List();
        }
        types__CheckInResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__CheckIn, &request, &response,
                              CZuServiceCall::Policy().KeepMessage().ReadsFrom(&failure));
        return call.GetOutcome() == CZuServiceCall::SUCCESS ? running : hr;
    });
}

HRESULT CZuInterplayAccess::CheckInAAF(const wchar_t* aafPath, const wchar_t* destinationURI,
                                       IZuInterplayMobAttributeList* attributes,
                                       const wchar_t* headframePath) {
    return CheckInAAFCommon(aafPath, destinationURI, attributes, headframePath, false, nullptr);
}

HRESULT CZuInterplayAccess::CheckInAAFEx(const wchar_t* aafPath, const wchar_t* destinationURI,
                                         IZuInterplayMobAttributeList* attributes,
                                         const wchar_t* headframePath, const wchar_t** newAssetURI) {
    return CheckInAAFCommon(aafPath, destinationURI, attributes, headframePath, true, newAssetURI);
}

HRESULT CZuInterplayAccess::CheckInAAFCommon(const wchar_t* aafPath, const wchar_t* destinationURI,
                                             IZuInterplayMobAttributeList* attributes,
                                             const wchar_t* headframePath, bool extended,
                                             const wchar_t** newAssetURI) {
    if (!aafPath || !destinationURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        // Both files are checked before anything is sent, and read as they are.
        CZuServiceCall::SourceFailure failure;
        CheckInFile aaf(failure);
        KO_RETURN_IF_FAILED(aaf.Open(Narrow(aafPath, ZU_NARROW_URI), m_lastErrorText));
        CheckInFile headframe(failure);
        if (headframePath)
            KO_RETURN_IF_FAILED(headframe.Open(Narrow(headframePath, ZU_NARROW_URI), m_lastErrorText));

        CZuServiceCall call = OpenCall();
        types__CheckInAAFType request;
        request.InterplayURI = Narrow(destinationURI, ZU_NARROW_URI);
        aaf.Lend(request.AAF);
        xsd__base64Binary headframeElement;
        if (headframePath) {
            headframe.Lend(headframeElement);
            request.Headframe = &headframeElement;
        }
        CZuAttributeRecords records;
        HRESULT running = S_OK;
        if (attributes) {
            running = records.ReadList(
                attributes,
                extended ? CZuAttributeRecords::Limits::None : CZuAttributeRecords::Limits::Buffers, true);
            request.Attributes = records.List();
        }
        types__CheckInAAFResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__CheckInAAF, &request, &response,
                              CZuServiceCall::Policy()
                                  .LogTransportFailure(ZU_LOG_CHECKINAAF_VALUE, ZU_LOG_CHECKINAAF_FALSE)
                                  .ServerErrorByCaller()
                                  .ReadsFrom(&failure));
        if (call.GetOutcome() == CZuServiceCall::TRANSPORT_FAILURE ||
            call.GetOutcome() == CZuServiceCall::SOURCE_FAILURE)
            return hr;

        HRESULT result = running;
        if (call.GetOutcome() == CZuServiceCall::SERVER_ERROR) {
            const types__ErrorType* error = call.GetFirstError();
            result = CheckErrorInfo(error->Message, error->Details);
            // A check-in that went through despite the report hands its asset
            // back through slot 32 only.
            if (!extended || result != S_OK) return result;
        }
        // A response without the new asset's URI leaves an empty one, never
        // that of an earlier check-in.
        const std::string newURI = response.InterplayURI ? *response.InterplayURI : std::string();
        if (!extended) {
            m_lastCheckedInURI = newURI;
        } else if (newAssetURI) {
            m_lastCheckedInURI = newURI;
            *newAssetURI = HandBack(m_lastCheckedInURI.c_str());
        }
        return result;
    });
}

HRESULT CZuInterplayAccess::CheckErrorInfo(const std::string& message, const std::string& details) {
    wchar_t wide[ZU_WIDE_TEXT];
    m_lastErrorText = message;
    Widen(message.c_str(), wide, ZU_WIDE_TEXT);
    KoTraceMessage(KO_TRACE_CATEGORY_ACCESS, KO_TRACE_LEVEL, ZU_LOG_CHECK_ERROR_INFO,
                   static_cast<const wchar_t*>(wide));
    m_lastErrorText = details;
    Widen(details.c_str(), wide, ZU_WIDE_TEXT);
    KoTraceMessage(KO_TRACE_CATEGORY_ACCESS, KO_TRACE_LEVEL, ZU_LOG_CHECKIN_DETAILS,
                   static_cast<const wchar_t*>(wide));
    return details.find(ZU_TEXT_CHECKIN_SUCCEEDED) != std::string::npos ? S_OK : ZU_E_SERVERERROR;
}
