// libcrypto (OpenSSL 3), the library the TLS of the update client already uses.

#include "platform/Signature.h"

#include <memory>
#include <openssl/evp.h>
#include <openssl/x509.h>

namespace qm::platform {

bool VerifyP256Signature(std::string_view publicKeyPem, std::string_view data,
                         std::string_view signature) {
    const auto spki = PemPublicKeyDer(publicKeyPem);
    std::array<unsigned char, 64> rs;
    const auto der = P256SignatureDer(signature, rs);
    if (!spki || !P256PublicPoint(*spki) || !der)
        return false;
    const auto* keyBytes = reinterpret_cast<const unsigned char*>(spki->data());
    const std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(
        d2i_PUBKEY(nullptr, &keyBytes, static_cast<long>(spki->size())), EVP_PKEY_free);
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          EVP_MD_CTX_free);
    return key && context &&
           EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
           EVP_DigestVerifyUpdate(context.get(), data.data(), data.size()) == 1 &&
           EVP_DigestVerifyFinal(context.get(), reinterpret_cast<const unsigned char*>(der->data()),
                                 der->size()) == 1;
}

} // namespace qm::platform
