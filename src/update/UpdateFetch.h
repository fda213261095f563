#pragma once

// Fetching an update: the version text, and the update file with its detached signature
// (`<file>.sig` beside it on the server: ECDSA P-256 over SHA-256, DER or base64). The file is
// written only once its signature has been checked against the release key, whole, into the
// folder it is then run from; whatever fails leaves nothing behind.

#include "update/UpdateHttp.h"

#include <QByteArray>
#include <QString>

namespace qm::update {

// Larger answers are refused: a version text is a line, a signature a few dozen bytes, and
// no release comes near the file limit.
inline constexpr qint64 kVersionFileLimit = 4LL * 1024;
inline constexpr qint64 kSignatureFileLimit = 4LL * 1024;
inline constexpr qint64 kUpdateFileLimit = 512LL * 1024 * 1024;

struct TFetchedFile {
    QString Path;          // where the file was written; empty when it was not
    QString Error;         // why not; empty when it was written
    bool Unsigned = false; // the failure was the signature's: missing, malformed or wrong
};

// The folder update files and scripts are written to (platform PrivateWorkFolder, with its
// separator); empty when there is none.
QString UpdateWorkFolder();

// GETs `url + ".sig"`, then `url` with `client` (whose progress signals follow the file), checks
// the signature with the PEM public key `releaseKey` and writes the file into `folder` under
// the URL's file name. An empty key verifies nothing: every file is refused.
TFetchedFile FetchSignedFile(THttpClient& client, const QString& url, const QString& folder,
                             const QByteArray& releaseKey);

} // namespace qm::update
