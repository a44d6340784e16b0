#include "CallTrace.h"

#include "Text.h"

namespace {

// The path and the host of a URL, the user:password@ part left out.
void Split(const std::string& url, std::string* host, std::string* path) {
    size_t scheme = url.find("://");
    size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    size_t end = url.find('/', start);
    std::string authority = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
    size_t at = authority.rfind('@');
    *host = at == std::string::npos ? authority : authority.substr(at + 1);
    *path = end == std::string::npos ? "/" : url.substr(end);
}

} // namespace

void CallTrace::Before(const std::string& command) {
    std::string host, path;
    Split(m_url, &host, &path);
    fprintf(m_out,
            "> %s\n> POST %s HTTP/1.1\n> Host: %s\n> credentials (SOAP header): user %s, password ***\n",
            command.c_str(), path.c_str(), host.c_str(), m_user.c_str());
    m_start = std::chrono::steady_clock::now();
}

void CallTrace::After(const Result& result) {
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count();
    int code = 0, status = 0;
    std::string sizes;
    IZuInterplayConnection* connection = nullptr;
    if (SUCCEEDED(
            m_access->QueryInterface(IID_IZuInterplayConnection, reinterpret_cast<void**>(&connection)))) {
        connection->GetLastTransportError(&code, &status);
        wchar_t text[128] = L"";
        if (connection->GetLastTransportText(ZU_TRANSPORT_EXCHANGE_SIZES, text, 128, nullptr) == S_OK)
            sizes = Utf8(text);
        connection->Release();
    }
    std::string answer = status ? "HTTP status " + std::to_string(status) : "no HTTP answer";
    if (code) answer += ", runtime code " + std::to_string(code);
    fprintf(m_out, "< %s; %s; %.1f ms; %s\n", answer.c_str(), sizes.empty() ? "sizes unknown" : sizes.c_str(),
            ms, result.ok ? "ok" : "failed");
}
