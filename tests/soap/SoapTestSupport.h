// Helpers of the SOAP layer's tests: writing and reading message parts in
// memory through a binding's context, the thread's code page for one test,
// canned responses.
#ifndef ZU_SOAP_TEST_SUPPORT_H
#define ZU_SOAP_TEST_SUPPORT_H

#include <sstream>
#include <string>

#include "AssetsPortBinding.h"
#include "KoPlatform.h"
#include "ZuAssetsNamespaces.h"

// Sets the calling thread's code page for the lifetime of the object.
class ThreadCodePage {
public:
    explicit ThreadCodePage(unsigned codePage) : m_previous(KoSetThreadCodePage(codePage)) {}
    ~ThreadCodePage() { KoSetThreadCodePage(m_previous); }
    ThreadCodePage(const ThreadCodePage&) = delete;
    ThreadCodePage& operator=(const ThreadCodePage&) = delete;

private:
    unsigned m_previous;
};

// A binding's context used without a connection: message parts are written to
// and read from strings. What is read lives as long as the object.
class InMemoryContext {
public:
    struct soap* soap() const {
        return m_binding.soap;
    }

    // The XML of value as the root element tag.
    template <class T>
    std::string write(const T& value, const char* tag) {
        std::ostringstream out;
        m_binding.soap->os = &out;
        if (soap_begin_send(m_binding.soap)) return "<send failed>";
        value.soap_serialize(m_binding.soap);
        if (value.soap_put(m_binding.soap, tag, nullptr) || soap_end_send(m_binding.soap))
            return "<send failed>";
        m_binding.soap->os = nullptr;
        return out.str();
    }

    // Reads the root element tag of xml (which declares no namespaces: the
    // types prefix is declared here) into value; the runtime's code.
    template <class T>
    int read(const std::string& xml, T& value, const char* tag) {
        std::string wrapped = xml;
        size_t space = wrapped.find_first_of(" >/", 1);
        wrapped.insert(space, std::string(" xmlns:types=\"") + ZuAssetsTypesNamespace() + "\"");
        std::istringstream in(wrapped);
        m_binding.soap->is = &in;
        int code = soap_begin_recv(m_binding.soap);
        if (!code && !value.soap_get(m_binding.soap, tag, nullptr)) code = m_binding.soap->error;
        if (!code) code = soap_end_recv(m_binding.soap);
        m_binding.soap->is = nullptr;
        return code;
    }

private:
    AssetsPortBinding m_binding;
};

// The text between the first "<tag" and the matching "</tag>" (or "/>"),
// both included; "" when there is none.
inline std::string elementOf(const std::string& xml, const std::string& tag) {
    size_t begin = xml.find("<" + tag + " ");
    if (begin == std::string::npos) begin = xml.find("<" + tag + ">");
    if (begin == std::string::npos) begin = xml.find("<" + tag + "/>");
    if (begin == std::string::npos) return "";
    size_t close = xml.find("</" + tag + ">", begin);
    size_t empty = xml.find("/>", begin);
    size_t open = xml.find('>', begin);
    if (empty != std::string::npos && empty < open) return xml.substr(begin, empty + 2 - begin);
    if (close == std::string::npos) return "";
    return xml.substr(begin, close + tag.size() + 3 - begin);
}

// A SOAP 1.1 envelope around body, with the service's namespaces.
inline std::string soap11(const std::string& body, const std::string& header = "") {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
               "xmlns:types=\"") +
           ZuAssetsTypesNamespace() + "\">" +
           (header.empty() ? "" : "<SOAP-ENV:Header>" + header + "</SOAP-ENV:Header>") + "<SOAP-ENV:Body>" +
           body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

// A SOAP 1.2 envelope around body; types namespace with another base.
inline std::string soap12(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\" "
           "xmlns:t=\"urn:elsewhere:8080/interplay/ws/assets/types\"><env:Body>" +
           body + "</env:Body></env:Envelope>";
}

#endif // ZU_SOAP_TEST_SUPPORT_H
