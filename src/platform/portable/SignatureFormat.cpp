#include "platform/Signature.h"

#include <algorithm>
#include <cstring>

namespace qm::platform {

namespace {

// SEQUENCE { SEQUENCE { id-ecPublicKey, prime256v1 }, BIT STRING (66 bytes: no unused bits,
// then 04 X Y) }.
constexpr unsigned char kP256SpkiPrefix[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48,
                                             0xce, 0x3d, 0x02, 0x01, 0x06, 0x08, 0x2a, 0x86, 0x48,
                                             0xce, 0x3d, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04};

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Standard base64 with its padding; blanks anywhere are skipped.
std::optional<std::string> Base64Decode(std::string_view text) {
    std::string out;
    unsigned bits = 0;
    int count = 0;
    int padding = 0;
    for (const char c : text) {
        if (IsBlank(c))
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int v = Base64Value(c);
        if (v < 0 || padding > 0)
            return std::nullopt;
        bits = (bits << 6) | static_cast<unsigned>(v);
        if (++count % 4 == 0) {
            out += static_cast<char>(bits >> 16);
            out += static_cast<char>(bits >> 8);
            out += static_cast<char>(bits);
            bits = 0;
        }
    }
    const int rest = count % 4;
    if (rest == 1 || (rest == 0 && padding != 0) || (rest != 0 && padding != 4 - rest))
        return std::nullopt;
    if (rest == 2) {
        out += static_cast<char>(bits >> 4);
    } else if (rest == 3) {
        out += static_cast<char>(bits >> 10);
        out += static_cast<char>(bits >> 2);
    }
    return out;
}

// One positive DER INTEGER below 2^256 at `at`, moved past; its value in 32 bytes.
bool ReadInteger(std::string_view der, std::size_t& at, unsigned char* value) {
    if (at + 2 > der.size() || der[at] != 0x02)
        return false;
    const std::size_t length = static_cast<unsigned char>(der[at + 1]);
    at += 2;
    if (length == 0 || length > 33 || at + length > der.size())
        return false;
    std::string_view bytes = der.substr(at, length);
    at += length;
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (first & 0x80)
        return false; // negative
    if (first == 0) {
        // A leading zero only where the next byte would read as a sign (and zero is no r or s).
        if (bytes.size() == 1 || !(static_cast<unsigned char>(bytes[1]) & 0x80))
            return false;
        bytes.remove_prefix(1);
    }
    if (bytes.size() > 32)
        return false;
    std::memset(value, 0, 32);
    std::memcpy(value + 32 - bytes.size(), bytes.data(), bytes.size());
    return true;
}

} // namespace

std::optional<std::string> PemPublicKeyDer(std::string_view pem) {
    constexpr std::string_view begin = "-----BEGIN PUBLIC KEY-----";
    constexpr std::string_view end = "-----END PUBLIC KEY-----";
    const std::size_t from = pem.find(begin);
    if (from == std::string_view::npos)
        return std::nullopt;
    const std::size_t to = pem.find(end, from + begin.size());
    if (to == std::string_view::npos)
        return std::nullopt;
    return Base64Decode(pem.substr(from + begin.size(), to - from - begin.size()));
}

std::optional<std::array<unsigned char, 64>> P256PublicPoint(std::string_view spkiDer) {
    if (spkiDer.size() != sizeof kP256SpkiPrefix + 64 ||
        std::memcmp(spkiDer.data(), kP256SpkiPrefix, sizeof kP256SpkiPrefix) != 0)
        return std::nullopt;
    std::array<unsigned char, 64> point;
    std::memcpy(point.data(), spkiDer.data() + sizeof kP256SpkiPrefix, 64);
    return point;
}

std::optional<std::string> P256SignatureDer(std::string_view signature,
                                            std::array<unsigned char, 64>& rs) {
    // SEQUENCE, short length (two INTEGERs of at most 35 bytes each), then exactly its content.
    const auto parse = [&rs](std::string_view der) {
        std::size_t at = 2;
        return der.size() >= 2 && der[0] == 0x30 &&
               static_cast<unsigned char>(der[1]) == der.size() - 2 &&
               ReadInteger(der, at, rs.data()) && ReadInteger(der, at, rs.data() + 32) &&
               at == der.size();
    };
    if (parse(signature))
        return std::string(signature);
    auto decoded = Base64Decode(signature);
    if (decoded && parse(*decoded))
        return decoded;
    return std::nullopt;
}

} // namespace qm::platform
