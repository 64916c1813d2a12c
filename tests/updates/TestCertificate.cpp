#include "TestCertificate.h"

#include <memory>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <stdexcept>

namespace DewlightUpdates::Testing {

namespace {

template <auto Free> struct Deleter {
    template <typename T> void operator()(T* pointer) const { Free(pointer); }
};
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using Certificate = std::unique_ptr<X509, Deleter<X509_free>>;
using Extension = std::unique_ptr<X509_EXTENSION, Deleter<X509_EXTENSION_free>>;
using Memory = std::unique_ptr<BIO, Deleter<BIO_free>>;

void require(bool ok, const char* what) {
    if (!ok)
        throw std::runtime_error(what);
}

void addExtension(X509* certificate, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    Extension extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
    require(extension && X509_add_ext(certificate, extension.get(), -1) == 1, "extension");
}

template <typename Write> QByteArray pem(Write write) {
    Memory memory(BIO_new(BIO_s_mem()));
    require(memory && write(memory.get()) == 1, "PEM");
    char* data = nullptr;
    const long size = BIO_get_mem_data(memory.get(), &data);
    return QByteArray(data, static_cast<qsizetype>(size));
}

} // namespace

TestCertificate TestCertificate::make() {
    Key key(EVP_EC_gen("P-256"));
    require(key != nullptr, "key");

    Certificate certificate(X509_new());
    require(certificate != nullptr, "certificate");
    X509* x = certificate.get();
    require(X509_set_version(x, X509_VERSION_3) == 1, "version");
    ASN1_INTEGER_set(X509_get_serialNumber(x), 1);
    X509_gmtime_adj(X509_getm_notBefore(x), -3600);
    X509_gmtime_adj(X509_getm_notAfter(x), 86400);
    X509_NAME* name = X509_get_subject_name(x);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    require(X509_set_issuer_name(x, name) == 1, "issuer");
    require(X509_set_pubkey(x, key.get()) == 1, "public key");
    addExtension(x, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(x, NID_subject_key_identifier, "hash");
    addExtension(x, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
    require(X509_sign(x, key.get(), EVP_sha256()) > 0, "signature");

    const QByteArray certificatePem = pem([x](BIO* bio) { return PEM_write_bio_X509(bio, x); });
    const QByteArray keyPem = pem([&key](BIO* bio) {
        return PEM_write_bio_PrivateKey(bio, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    });
    TestCertificate made{QSslCertificate(certificatePem, QSsl::Pem),
                         QSslKey(keyPem, QSsl::Ec, QSsl::Pem)};
    require(!made.certificate.isNull() && !made.key.isNull(), "Qt cannot read the pair");
    return made;
}

} // namespace DewlightUpdates::Testing
