#include "TestCertificates.h"

#include <stdio.h>
#include <sys/stat.h>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <atomic>
#include <stdexcept>

struct TestAuthority::Keys {
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
    ~Keys() {
        X509_free(certificate);
        EVP_PKEY_free(key);
    }
};

namespace {

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("test certificates: ") + what);
}

EVP_PKEY* NewKey() {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    Check(key != nullptr, "key generation");
    return key;
}

void AddExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    Check(extension != nullptr, "extension");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

// A certificate for subject's key, issued by issuer (null: itself).
X509* NewCertificate(const std::string& commonName, EVP_PKEY* subjectKey, X509* issuer, long fromDays,
                     long toDays) {
    static std::atomic<long> serial{1};
    X509* certificate = X509_new();
    Check(certificate != nullptr, "certificate");
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), serial++);
    X509_gmtime_adj(X509_getm_notBefore(certificate), fromDays * 86400L);
    X509_gmtime_adj(X509_getm_notAfter(certificate), toDays * 86400L);
    X509_set_pubkey(certificate, subjectKey);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
    X509_set_issuer_name(certificate, issuer ? X509_get_subject_name(issuer) : name);
    return certificate;
}

void Sign(X509* certificate, EVP_PKEY* key) {
    Check(X509_sign(certificate, key, EVP_sha256()) > 0, "signing");
}

void Write(const std::string& file, X509* certificate, EVP_PKEY* key) {
    BIO* out = BIO_new_file(file.c_str(), "w");
    Check(out != nullptr, "file");
    bool ok = certificate ? PEM_write_bio_X509(out, certificate) == 1
                          : PEM_write_bio_PrivateKey(out, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
    BIO_free(out);
    Check(ok, "writing PEM");
}

bool IsAddress(const std::string& host) {
    return host.find_first_not_of("0123456789.:") == std::string::npos;
}

} // namespace

TestAuthority::TestAuthority(const std::string& folder, const std::string& name)
    : m_folder(folder), m_name(name), m_certificateFile(folder + "/" + name + ".pem"), m_keys(new Keys) {
    m_keys->key = NewKey();
    m_keys->certificate = NewCertificate(name, m_keys->key, nullptr, -1, 365);
    AddExtension(m_keys->certificate, m_keys->certificate, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(m_keys->certificate, m_keys->certificate, NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(m_keys->certificate, m_keys->certificate, NID_subject_key_identifier, "hash");
    Sign(m_keys->certificate, m_keys->key);
    Write(m_certificateFile, m_keys->certificate, nullptr);
    char hash[16];
    snprintf(hash, sizeof hash, "%08lx.0", X509_subject_name_hash(m_keys->certificate));
    m_storeFolder = folder + "/" + name + "-store";
    Check(mkdir(m_storeFolder.c_str(), 0700) == 0, "store folder");
    Write(m_storeFolder + "/" + hash, m_keys->certificate, nullptr);
}

TestAuthority::~TestAuthority() = default;

TestAuthority::Issued TestAuthority::Issue(const std::string& name, const std::vector<std::string>& hosts,
                                           long validFromDays, long validToDays) const {
    Keys server;
    server.key = NewKey();
    server.certificate = NewCertificate(hosts.empty() ? name : hosts.front(), server.key, m_keys->certificate,
                                        validFromDays, validToDays);
    std::string names;
    for (const std::string& host : hosts)
        names += (names.empty() ? "" : ",") + std::string(IsAddress(host) ? "IP:" : "DNS:") + host;
    AddExtension(server.certificate, m_keys->certificate, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(server.certificate, m_keys->certificate, NID_ext_key_usage, "serverAuth");
    AddExtension(server.certificate, m_keys->certificate, NID_authority_key_identifier, "keyid");
    if (!names.empty()) AddExtension(server.certificate, m_keys->certificate, NID_subject_alt_name, names);
    Sign(server.certificate, m_keys->key);
    Issued issued{m_folder + "/" + name + ".pem", m_folder + "/" + name + "-key.pem"};
    Write(issued.certificateFile, server.certificate, nullptr);
    Write(issued.keyFile, nullptr, server.key);
    return issued;
}
