// Certificates made at test time (OpenSSL's API): a certificate authority and
// server certificates it issues, written as PEM files into a folder. Keys are
// P-256, certificates SHA-256; nothing is kept after the folder goes.
#ifndef ZU_TEST_CERTIFICATES_H
#define ZU_TEST_CERTIFICATES_H

#include <memory>
#include <string>
#include <vector>

class TestAuthority {
public:
    // A self-signed CA named name; its certificate goes to <folder>/<name>.pem.
    TestAuthority(const std::string& folder, const std::string& name);
    ~TestAuthority();
    TestAuthority(const TestAuthority&) = delete;
    TestAuthority& operator=(const TestAuthority&) = delete;

    // The CA certificate's file.
    const std::string& CertificateFile() const { return m_certificateFile; }
    // A folder with the CA certificate under its subject's hash, as OpenSSL
    // looks certificates up in the system's store (SSL_CERT_DIR).
    const std::string& StoreFolder() const { return m_storeFolder; }

    struct Issued {
        std::string certificateFile;
        std::string keyFile;
    };
    // A server certificate for the names (DNS names; IP addresses as written,
    // e.g. "127.0.0.1"), valid from validFromDays to validToDays around now
    // (negative: past), with its key: <folder>/<name>.pem and <name>-key.pem.
    Issued Issue(const std::string& name, const std::vector<std::string>& hosts, long validFromDays = -1,
                 long validToDays = 30) const;

private:
    struct Keys;
    std::string m_folder;
    std::string m_name;
    std::string m_certificateFile;
    std::string m_storeFolder;
    std::unique_ptr<Keys> m_keys;
};

#endif // ZU_TEST_CERTIFICATES_H
