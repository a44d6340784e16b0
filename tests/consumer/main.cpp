// A minimal host: creates the registered component by its CLSID, points it at
// a service and lists a folder.
//   consumer <service URL> <user> <password> <folder URI>
#include <stdio.h>

#include <string>

#include "KoPlatform.h"
#include "ZuInterplayAccess.h"
#include "ZuVersion.h"

namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text)); // ASCII arguments
    return wide;
}

std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; text && *text; ++text) narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: consumer <service URL> <user> <password> <folder URI>\n");
        return 2;
    }
    printf("built against ZuInterplayAccess %s\n", ZU_VERSION_STRING);
    IZuInterplayAccess* access = nullptr;
    HRESULT hr = KoCoCreateInstance(CLSID_ZuInterplayAccess, nullptr, IID_IZuInterplayAccess,
                                    reinterpret_cast<void**>(&access));
    if (FAILED(hr)) {
        fprintf(stderr, "KoCoCreateInstance: 0x%08X\n", static_cast<unsigned>(hr));
        return 1;
    }
    access->SetServiceURL(Widen(argv[1]).c_str());
    access->SetCredentials(Widen(argv[2]).c_str(), Widen(argv[3]).c_str());

    IZuInterplayAssetsDescriptionsList* children = nullptr;
    hr = access->GetChildren(Widen(argv[4]).c_str(), false, &children);
    if (hr != S_OK || !children) {
        const wchar_t* text = nullptr;
        access->GetLastErrorText(&text);
        fprintf(stderr, "GetChildren: 0x%08X %s\n", static_cast<unsigned>(hr), Narrow(text).c_str());
        access->Release();
        return 1;
    }
    int count = 0;
    children->GetCount(&count);
    for (int i = 0; i < count; ++i) {
        IZuInterplayAssetDescription* child = nullptr;
        if (children->GetItem(i, &child) != S_OK || !child) continue;
        const wchar_t* uri = nullptr;
        child->GetInterplayURI(&uri);
        printf("%s\n", Narrow(uri).c_str());
        child->Release();
    }
    children->Release();
    access->Release();
    return 0;
}
