#include "update/UpdateServers.h"

#include <QUrl>

namespace qm::update {

QStringList ServerBaseUrls() {
    const QString given = qEnvironmentVariable(kUpdateUrlsVariable);
    QStringList bases;
    for (QString base : given.split(u';')) {
        base = base.trimmed();
        // Plain HTTP is refused here too: what it carries can be changed on its way.
        if (base.isEmpty() || !IsSecureUrl(base))
            continue;
        if (!base.endsWith(u'/'))
            base += u'/';
        bases << base;
    }
    if (!given.trimmed().isEmpty())
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
