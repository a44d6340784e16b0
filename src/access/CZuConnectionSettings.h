// The connection settings of an access object (IZuInterplayConnection): the
// three time-outs, the trusted certificates and whether the server's
// certificate is verified, the response limit, with the built-in defaults and the machine-wide
// defaults an administrator keeps in the registry under the component's key.
#ifndef CZU_CONNECTION_SETTINGS_H
#define CZU_CONNECTION_SETTINGS_H

#include <string>

#include "KoCom.h"

class CZuConnectionSettings {
public:
    // The built-in defaults: connect 30 s, idle 300 s, no whole-call
    // deadline, the system's certificate store, verification on, responses
    // of up to 256 MiB.
    CZuConnectionSettings();

    // The registry key of the machine-wide defaults, below HKEY_CLASSES_ROOT:
    // CLSID\{component CLSID}\Settings.
    static std::wstring RegistryKey();
    // Takes the machine-wide defaults that are there (values in
    // IZuInterplayConnection.h); a value that is absent, of another type or
    // unreadable leaves its setting as it is.
    void LoadMachineDefaults();

    ULONG connectTimeoutMs;
    ULONG idleTimeoutMs;
    ULONG callTimeoutMs;
    std::wstring trustedCertificates; // empty: the system's store
    bool verifyServer;
    ULONG responseLimitBytes; // 0: none
};

#endif // CZU_CONNECTION_SETTINGS_H
