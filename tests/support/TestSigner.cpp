#include "TestSigner.h"

#include <memory>
#include <openssl/evp.h>
#include <openssl/pem.h>

namespace qm::testing {

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

Key MakeKey() {
    return Key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"), EVP_PKEY_free);
}

EVP_PKEY* OwnKey() {
    static const Key key = MakeKey();
    return key.get();
}

EVP_PKEY* OtherKey() {
    static const Key key = MakeKey();
    return key.get();
}

QByteArray Sign(EVP_PKEY* key, const QByteArray& data) {
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          EVP_MD_CTX_free);
    std::size_t size = 0;
    if (!key || !context ||
        EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key) != 1 ||
        EVP_DigestSign(context.get(), nullptr, &size,
                       reinterpret_cast<const unsigned char*>(data.constData()),
                       static_cast<std::size_t>(data.size())) != 1)
        return {};
    QByteArray signature(static_cast<qsizetype>(size), '\0');
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &size,
                       reinterpret_cast<const unsigned char*>(data.constData()),
                       static_cast<std::size_t>(data.size())) != 1)
        return {};
    signature.resize(static_cast<qsizetype>(size));
    return signature;
}

} // namespace

QByteArray TestReleaseKey() {
    const std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), BIO_free);
    if (!out || PEM_write_bio_PUBKEY(out.get(), OwnKey()) != 1)
        return {};
    char* bytes = nullptr;
    const long size = BIO_get_mem_data(out.get(), &bytes);
    return QByteArray(bytes, static_cast<qsizetype>(size));
}

QByteArray TestSignature(const QByteArray& data) {
    return Sign(OwnKey(), data);
}

QByteArray ForeignSignature(const QByteArray& data) {
    return Sign(OtherKey(), data);
}

} // namespace qm::testing
