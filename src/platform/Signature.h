#pragma once

// Checks a detached signature of an update: ECDSA on the curve P-256 over the SHA-256 digest
// of the data. OpenSSL's libcrypto on Linux, CNG (bcrypt) on Windows; both read the key and the
// signature through the portable formats below, so they accept exactly the same inputs.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qm::platform {

// Whether `signature` (DER, as bytes or in base64 text) signs `data` with the key of
// `publicKeyPem` (a "PUBLIC KEY" block: SubjectPublicKeyInfo of a P-256 key). Anything
// malformed, or any other kind of key, is false.
bool VerifyP256Signature(std::string_view publicKeyPem, std::string_view data,
                         std::string_view signature);

// Portable pieces the backends share. Every reader takes untrusted bytes.
// The DER bytes of the first PEM block labelled "PUBLIC KEY".
std::optional<std::string> PemPublicKeyDer(std::string_view pem);
// X then Y (32 big-endian bytes each) of a SubjectPublicKeyInfo that holds an uncompressed
// point of an id-ecPublicKey on prime256v1; none for any other key.
std::optional<std::array<unsigned char, 64>> P256PublicPoint(std::string_view spkiDer);
// A signature as a file holds it: DER bytes, or those in base64 (blanks and line breaks
// allowed). Its DER bytes when they are one ECDSA-Sig-Value (two positive INTEGERs below
// 2^256, strict DER, nothing after it); then `rs` holds r then s, 32 big-endian bytes each.
std::optional<std::string> P256SignatureDer(std::string_view signature,
                                            std::array<unsigned char, 64>& rs);

} // namespace qm::platform
