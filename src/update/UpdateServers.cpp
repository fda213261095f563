#include "update/UpdateServers.h"

#include <QUrl>

namespace qm::update {

QStringList ServerBaseUrls() {
    QStringList bases;
    for (QString base : qEnvironmentVariable(kUpdateUrlsVariable).split(u';')) {
        base = base.trimmed();
        if (base.isEmpty())
            continue;
        if (!base.endsWith(u'/'))
            base += u'/';
        bases << base;
    }
    if (!bases.isEmpty())
        return bases;
    return {QStringLiteral("https://updates.quillmark.example/download/"),
            QStringLiteral("https://mirror.quillmark.example/download/")};
}

QString ServerProductName() {
    return QStringLiteral("Quillmark");
}

QString UrlFileName(const QString& url) {
    const qsizetype slash = url.lastIndexOf(u'/');
    if (slash < 0 || slash == url.size() - 1)
        return url;
    return url.sliced(slash + 1);
}

bool IsSecureUrl(const QString& url) {
    return QUrl(url).scheme().compare(u"https", Qt::CaseInsensitive) == 0;
}

} // namespace qm::update
