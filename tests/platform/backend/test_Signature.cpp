// The update signature check, with fixed vectors made by openssl, so that the Windows backend
// (CNG, under wine) is held to the same answers as libcrypto.
#include "BackendTest.h"
#include "platform/Signature.h"

#include <string>

namespace qm::backendtest {

namespace {

std::string Bytes(std::string_view hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return out;
}

const std::string kKey = R"(-----BEGIN PUBLIC KEY-----
MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEHqp3iIjfnEvHn4wE1zk/iOUnjBDj
vrNI3DqCCZZUwHrDP0FFqqGJtCBbaakA9L/TUxVLWx3K8xm3L0yeNp3eZQ==
-----END PUBLIC KEY-----
)";
const std::string kOtherKey = R"(-----BEGIN PUBLIC KEY-----
MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE9d+FZKGJcAPLUyLdVTe9CN9qqWQn
r4JGX5NuIQj+IeYqbZ2DfIArpZQdHVuqV+kgA8scUta5jtvtrK/emfgI+Q==
-----END PUBLIC KEY-----
)";
const std::string kP384Key = R"(-----BEGIN PUBLIC KEY-----
MHYwEAYHKoZIzj0CAQYFK4EEACIDYgAEHhGF288cms7VOljpPn5yynlq0ZrWlJMM
xeA2yZHvU9zTdYUfCn7rpjNlU6smvvXVr1BCX5IE7yy10ve3xFZdgxaZiQcHQLLn
0wOScC7BG7nfIEhn29dYM8zuXFE0AXky
-----END PUBLIC KEY-----
)";
const std::string kData = "Quillmark update";
// By kKey, and by kOtherKey (whose r and s both need a leading zero byte).
const std::string kSignature =
    Bytes("304402206a5318371b0ad601b874ad755be676134c178f418ed8aebfd8c6ffea982325cc0220034e403ac7bf"
          "5919a84f78e81e25a707a5161f53038dcce7833d762871a8dc72");
const std::string kOtherSignature =
    Bytes("3046022100b23b95687b0bcdbe32b0d88a8bad54a6f3af11afbb260980ebe9cf25d339d98902210088c2b460"
          "23b09fca4fd12ee0381f99936f9daea2764989f0d43acbb9c935a433");

} // namespace

TEST_CASE("update signatures: ECDSA P-256 over SHA-256, as DER or base64") {
    using qm::platform::VerifyP256Signature;
    const std::string base64 = "MEQCIGpTGDcbCtYBuHStdVvmdhNMF49Bjtiuv9jG\r\n/"
                               "+qYIyXMAiADTkA6x79ZGahPeOgeJacHpRYfUwON\nzOeDPXYocajccg==\n";
    std::string nonMinimal = kSignature;
    nonMinimal.replace(0, 4, Bytes("3045022100")); // r with a needless leading zero
    const struct {
        const char* Case;
        std::string Key;
        std::string Data;
        std::string Signature;
        bool Valid;
    } cases[] = {
        {"DER", kKey, kData, kSignature, true},
        {"base64 with line breaks", kKey, kData, base64, true},
        {"integers with leading zeros", kOtherKey, kData, kOtherSignature, true},
        {"other data", kKey, kData + ".", kSignature, false},
        {"signed by another key", kKey, kData, kOtherSignature, false},
        {"cut short", kKey, kData, kSignature.substr(0, kSignature.size() - 1), false},
        {"a byte after it", kKey, kData, kSignature + '\0', false},
        {"not minimal DER", kKey, kData, nonMinimal, false},
        {"base64 cut in a group", kKey, kData, base64.substr(0, 30), false},
        {"empty", kKey, kData, "", false},
        {"a P-384 key", kP384Key, kData, kSignature, false},
        {"no key block", "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE", kData, kSignature, false},
    };
    for (const auto& c : cases) {
        CAPTURE(c.Case);
        CHECK(VerifyP256Signature(c.Key, c.Data, c.Signature) == c.Valid);
    }
}

} // namespace qm::backendtest
