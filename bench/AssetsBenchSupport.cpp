#include "AssetsBenchSupport.h"

#include "CZuInterplayAccess.h"
#include "ScriptedServer.h"
#include "ZuAssetsNamespaces.h"

namespace benchsupport {

IZuInterplayAccess* NewAccessObject() {
    HRESULT hr = S_OK;
    CKoUnknown* object = CreateAccessObject(nullptr, &hr);
    IZuInterplayAccess* access = nullptr;
    if (object)
        object->NonDelegatingQueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&access));
    return access;
}

ChildrenRequest::ChildrenRequest() {
    request.InterplayURI = "interplay://WG/Bench";
    request.IncludeFolders = &m_yes;
    request.IncludeFiles = &m_yes;
    request.IncludeMOBs = &m_yes;
}

std::string Envelope(const std::string& body) {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
               "xmlns:types=\"") +
           ZuAssetsTypesNamespace() + "\"><SOAP-ENV:Body>" + body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

namespace {

// The response of a listing operation: 5,000 descriptions in its Results.
std::string ListingResponse(const std::string& operation) {
    static const char* kValues[] = {"\xe6\x96\xb0\xe9\x97\xbb\xe7\xb4\xa0\xe6\x9d\x90", // 新闻素材
                                    "\xe9\x87\x87\xe8\xae\xbf\xe7\xac\xac\xe4\xba\x8c\xe5\xa4\xa9",
                                    "\xe5\x8c\x97\xe4\xba\xac\xe6\x91\x84\xe5\x83\x8f\xe6\x9c\xba B"};
    std::string body = "<types:" + operation + "Response><types:Results>";
    for (int i = 0; i < kAssets; ++i) {
        body += "<types:AssetDescription><types:InterplayURI>interplay://WG/Bench/";
        body += "\xe7\xb4\xa0\xe6\x9d\x90" + std::to_string(i);
        body += "</types:InterplayURI><types:Attributes>";
        for (int a = 0; a < kAttributes; ++a) {
            body += "<types:Attribute Group=\"USER\" Name=\"";
            body += a % 2 ? "Name" + std::to_string(a) : "\xe5\xb1\x9e\xe6\x80\xa7" + std::to_string(a);
            body += "\">";
            body += kValues[(i + a) % 3];
            body += " " + std::to_string(i * kAttributes + a) + "</types:Attribute>";
        }
        body += "</types:Attributes></types:AssetDescription>";
    }
    body += "</types:Results></types:" + operation + "Response>";
    return Envelope(body);
}

ScriptedServer* NewServer(const std::string& response) {
    ScriptedServer* s = new ScriptedServer;
    s->setRecording(false);
    s->setDefaultReply(ScriptedServer::Reply::http(response));
    return s;
}

} // namespace

std::string ChildrenResponse() { return ListingResponse("GetChildren"); }
std::string SearchResponse() { return ListingResponse("Search"); }

ScriptedServer& ChildrenServer() {
    static ScriptedServer* server = NewServer(ChildrenResponse());
    return *server;
}

ScriptedServer& SearchServer() {
    static ScriptedServer* server = NewServer(SearchResponse());
    return *server;
}

int Main(int argc, char** argv, const std::function<void(const RatioReporter&)>& report) {
    if (!InitializeBenchmarks(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    report(reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace benchsupport
