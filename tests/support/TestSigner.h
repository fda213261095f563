#pragma once

// A release key of the tests' own, made when first asked for (ECDSA P-256, libcrypto): the
// update tests build their windows against its public half and sign what their server offers
// with it, as packaging/sign-release.sh signs a release. Not on Windows: no libcrypto there,
// and the HTTPS tests run on Linux.

#include <QByteArray>

namespace qm::testing {

// The public key, PEM.
QByteArray TestReleaseKey();
// A signature of `data` (DER) by the key.
QByteArray TestSignature(const QByteArray& data);
// The same by another key, which the program does not trust.
QByteArray ForeignSignature(const QByteArray& data);

} // namespace qm::testing
