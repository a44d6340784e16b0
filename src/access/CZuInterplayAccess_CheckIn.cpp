// Check-in of files and AAF compositions, with their headframe and attributes.
#include <errno.h>
#include <limits.h>
#include <stdio.h>

#include <memory>
#include <new>
#include <string>

#include "CZuAttributeRecords.h"
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

// The whole content of a local file, held once for the request: the runtime
// encodes it from here while it sends.
class CheckInFile {
public:
    // Reads the file at path (a Windows path in the thread's code page). On
    // failure the last error text names the file and nothing is kept.
    HRESULT Read(const std::string& path, std::string& lastErrorText) {
        DWORD error = ReadAll(path);
        if (error == ERROR_SUCCESS) return S_OK;
        m_bytes.reset();
        m_size = 0;
        lastErrorText = (error == ERROR_FILE_TOO_LARGE ? ZU_TEXT_TOO_LARGE : ZU_TEXT_CANNOT_READ) + path;
        return FromWin32(error);
    }

    // Points the message's element at the bytes; they stay owned here.
    void Lend(xsd__base64Binary& element) const {
        element.__ptr = m_bytes.get();
        element.__size = m_size;
    }

private:
    DWORD ReadAll(const std::string& path) {
        FILE* file = KoOpenFileA(path.c_str(), "rb");
        if (!file) return GetLastError() ? GetLastError() : ERROR_GEN_FAILURE;
        DWORD error = ERROR_SUCCESS;
        off_t size = -1;
        if (fseeko(file, 0, SEEK_END) != 0 || (size = ftello(file)) < 0 || fseeko(file, 0, SEEK_SET) != 0) {
            error = RuntimeError();
        } else if (size > INT_MAX) {
            // The message counts its bytes in a signed 32-bit number.
            error = ERROR_FILE_TOO_LARGE;
        } else {
            size_t bytes = static_cast<size_t>(size);
            // One byte at least: an empty file still goes out as an element.
            m_bytes.reset(new (std::nothrow) unsigned char[bytes ? bytes : 1]);
            if (!m_bytes) {
                error = ERROR_NOT_ENOUGH_MEMORY;
            } else if (bytes && fread(m_bytes.get(), 1, bytes, file) != bytes) {
                // A file that shrank after its size was taken reads short.
                error = ferror(file) ? RuntimeError() : ERROR_HANDLE_EOF;
            } else {
                m_size = static_cast<int>(size);
            }
        }
        fclose(file);
        return error;
    }

    std::unique_ptr<unsigned char[]> m_bytes;
    int m_size = 0;
};

} // namespace

HRESULT CZuInterplayAccess::CheckIn(const wchar_t* filePath, const wchar_t* targetURI,
                                    IZuInterplayMobAttributeList* attributes) {
    if (!filePath || !targetURI) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        // The file is read whole before anything is sent.
        CheckInFile file;
        KO_RETURN_IF_FAILED(file.Read(Narrow(filePath, ZU_NARROW_URI), m_lastErrorText));

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
                              CZuServiceCall::Policy().KeepMessage());
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
        // Both files are read whole before anything is sent.
        CheckInFile aaf;
        KO_RETURN_IF_FAILED(aaf.Read(Narrow(aafPath, ZU_NARROW_URI), m_lastErrorText));
        CheckInFile headframe;
        if (headframePath)
            KO_RETURN_IF_FAILED(headframe.Read(Narrow(headframePath, ZU_NARROW_URI), m_lastErrorText));

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
                                  .ServerErrorByCaller());
        if (call.GetOutcome() == CZuServiceCall::TRANSPORT_FAILURE) return hr;

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
