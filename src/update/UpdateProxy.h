#pragma once

// The proxy of the update requests: the one the user set in the system's Internet settings
// (HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings).

#include <QString>

class QNetworkAccessManager;

namespace qm::update {

// Reads ProxyEnable and ProxyServer. `Enabled` is ProxyEnable = 1; a missing or non-integer
// ProxyEnable means no proxy. True when ProxyEnable is 1 and ProxyServer holds a ':': the host
// is the text before the first ':', the port the rest as a decimal number, 8080 when it is not
// one (a per-protocol list "http=host:80;https=..." thus gives the host "http=host", port 8080).
bool GetSystemProxy(QString& ProxyServer, int& ProxyPort, bool& Enabled);

// Gives `manager` the proxy of the update requests: the Internet settings' proxy when it is
// enabled; the system's proxy configuration (on Linux https_proxy and no_proxy) when there is
// no Internet settings key at all; otherwise none.
void UseUpdateProxy(QNetworkAccessManager& manager);

} // namespace qm::update
