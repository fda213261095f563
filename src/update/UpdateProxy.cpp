#include "update/UpdateProxy.h"

#include "platform/Registry.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>

namespace qm::update {

namespace {

constexpr char16_t kInternetSettings[] =
    u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

class SystemProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        return systemProxyForQuery(query);
    }
};

} // namespace

bool GetSystemProxy(QString& ProxyServer, int& ProxyPort, bool& Enabled) {
    ProxyServer.clear();
    ProxyPort = 0;
    Enabled = false;
    qm::platform::RegistryAccessor registry(qm::platform::RegistryAccessor::Access::Read);
    if (!registry.OpenKey(kInternetSettings, false))
        return false;
    try {
        Enabled = registry.ReadInteger(u"ProxyEnable") == 1;
    } catch (const qm::platform::RegistryError&) {
        return false; // no switch, no proxy
    }
    if (!Enabled)
        return false;
    const QString server = QString::fromStdU16String(registry.ReadString(u"ProxyServer"));
    const qsizetype colon = server.indexOf(u':');
    if (colon < 0)
        return false;
    ProxyServer = server.left(colon);
    bool ok = false;
    ProxyPort = server.sliced(colon + 1).toInt(&ok, 10);
    if (!ok)
        ProxyPort = 8080;
    return true;
}

void UseUpdateProxy(QNetworkAccessManager& manager) {
    bool hasKey = false;
    {
        qm::platform::RegistryAccessor registry(qm::platform::RegistryAccessor::Access::Read);
        hasKey = registry.KeyExists(kInternetSettings);
    }
    if (!hasKey) {
        manager.setProxyFactory(new SystemProxyFactory);
        return;
    }
    QString host;
    int port = 0;
    bool enabled = false;
    if (GetSystemProxy(host, port, enabled) && enabled && port > 0 && port <= 65535)
        manager.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, host, static_cast<quint16>(port)));
    else
        manager.setProxy(QNetworkProxy::NoProxy);
}

} // namespace qm::update
