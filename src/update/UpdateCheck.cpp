#include "update/UpdateCheck.h"

#include "settings/PortablePath.h"
#include "update/UpdateFetch.h"
#include "update/UpdateHttp.h"
#include "update/UpdateServers.h"
#include "update/UpdateVersion.h"

namespace qm::update {

bool FetchServerVersion(QString& version, QString& fileUrl) {
    for (const QString& base : ServerBaseUrls()) {
        const QString folder = base + ServerProductName() + u'/';
        THttpClient client;
        client.SetTimeouts(3000, 5000);
        client.SetBodyLimit(kVersionFileLimit);
        const THttpResult answer = client.Get(folder + QStringLiteral("version.txt"));
        if (!answer.Succeeded() || answer.Status != 200)
            continue;
        const QString text = ServerVersionText(answer.Body);
        if (text.isEmpty())
            continue;
        version = text;
        fileUrl = folder + (PortableMode ? PortableZipName() : SetupFileName());
        return true;
    }
    return false;
}

} // namespace qm::update
