// CNG: the key imported as a P-256 public blob, the digest made by bcrypt's SHA-256, and the
// signature checked as r and s.

#include "platform/Signature.h"

#include <algorithm>
#include <cstring>
#include <vector>

// bcrypt.h needs the types windows.h declares.
// clang-format off
#include <windows.h>
#include <bcrypt.h>
// clang-format on

namespace qm::platform {

namespace {

class Algorithm {
public:
    explicit Algorithm(const wchar_t* id) {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&m_handle, id, nullptr, 0)))
            m_handle = nullptr;
    }
    ~Algorithm() {
        if (m_handle)
            BCryptCloseAlgorithmProvider(m_handle, 0);
    }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE Get() const { return m_handle; }

private:
    BCRYPT_ALG_HANDLE m_handle = nullptr;
};

bool Sha256(std::string_view data, unsigned char (&digest)[32]) {
    Algorithm sha(BCRYPT_SHA256_ALGORITHM);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!sha.Get() ||
        !BCRYPT_SUCCESS(BCryptCreateHash(sha.Get(), &hash, nullptr, 0, nullptr, 0, 0)))
        return false;
    bool ok = true;
    // BCryptHashData takes at most 4 GiB a call.
    for (std::size_t at = 0; ok && at < data.size(); at += 0x40000000) {
        const std::size_t piece = std::min<std::size_t>(data.size() - at, 0x40000000);
        ok = BCRYPT_SUCCESS(
            BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data() + at)),
                           static_cast<ULONG>(piece), 0));
    }
    ok = ok && BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0));
    BCryptDestroyHash(hash);
    return ok;
}

} // namespace

bool VerifyP256Signature(std::string_view publicKeyPem, std::string_view data,
                         std::string_view signature) {
    const auto spki = PemPublicKeyDer(publicKeyPem);
    const auto point = spki ? P256PublicPoint(*spki) : std::nullopt;
    std::array<unsigned char, 64> rs;
    unsigned char digest[32];
    if (!point || !P256SignatureDer(signature, rs) || !Sha256(data, digest))
        return false;
    std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + point->size());
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, point->data(), point->size());
    Algorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
    BCRYPT_KEY_HANDLE key = nullptr;
    if (!ecdsa.Get() ||
        !BCRYPT_SUCCESS(BCryptImportKeyPair(ecdsa.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &key,
                                            blob.data(), static_cast<ULONG>(blob.size()), 0)))
        return false;
    const bool valid = BCRYPT_SUCCESS(
        BCryptVerifySignature(key, nullptr, digest, sizeof digest, rs.data(), rs.size(), 0));
    BCryptDestroyKey(key);
    return valid;
}

} // namespace qm::platform
