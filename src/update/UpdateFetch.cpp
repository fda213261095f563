#include "update/UpdateFetch.h"

#include "platform/KnownFolders.h"
#include "platform/Signature.h"
#include "update/UpdateServers.h"

#include <QFile>
#include <QSaveFile>

namespace qm::update {

namespace {

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace

QString UpdateWorkFolder() {
    return QString::fromStdU16String(qm::platform::PrivateWorkFolder());
}

TFetchedFile FetchSignedFile(THttpClient& client, const QString& url, const QString& folder,
                             const QByteArray& releaseKey) {
    TFetchedFile fetched;
    // Only over TLS: a program fetched in the clear could have been replaced on its way.
    if (!IsSecureUrl(url)) {
        fetched.Error = QStringLiteral("Updates are fetched over HTTPS only");
        return fetched;
    }
    if (folder.isEmpty()) {
        fetched.Error = QStringLiteral("There is no private folder to save the update in");
        return fetched;
    }
    const auto failed = [&](const THttpResult& answer) {
        if (answer.Succeeded() && answer.Status == 200)
            return false;
        fetched.Error =
            answer.Succeeded() ? QStringLiteral("HTTP %1").arg(answer.Status) : answer.Error;
        return true;
    };
    client.SetBodyLimit(kSignatureFileLimit);
    const THttpResult signature = client.Get(url + QStringLiteral(".sig"));
    if (failed(signature)) {
        fetched.Unsigned = signature.Status == 404; // no signature beside the file
        return fetched;
    }
    client.SetBodyLimit(kUpdateFileLimit);
    const THttpResult file = client.Get(url);
    client.SetBodyLimit(0);
    if (failed(file))
        return fetched;
    if (!qm::platform::VerifyP256Signature(View(releaseKey), View(file.Body),
                                           View(signature.Body))) {
        fetched.Unsigned = true;
        fetched.Error = QStringLiteral("The signature does not match the release key");
        return fetched;
    }
    const QString path = folder + UrlFileName(url);
    // The file appears complete or not at all; a link in its place is replaced, not followed.
    QFile::remove(path);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file.Body) != file.Body.size() ||
        !out.commit()) {
        fetched.Error = out.errorString();
        return fetched;
    }
    fetched.Path = path;
    return fetched;
}

} // namespace qm::update
