#pragma once

// Where the update files lie: under each base URL, a folder named after the product holds
// "version.txt", the installer build and the portable build.

#include <QString>
#include <QStringList>

namespace qm::update {

// The environment variable that replaces the download servers: one or two base URLs separated
// by ";" (tests, and organisations that mirror the files internally). Only https:// bases are
// used; when it is set, the built-in servers are not.
inline constexpr char kUpdateUrlsVariable[] = "QUILLMARK_UPDATE_URLS";

// The base URLs in the order they are tried, each ending in "/".
QStringList ServerBaseUrls();

// "Quillmark": the folder under each base.
QString ServerProductName();
// The installer build's file name on this system ("Quillmark-setup.exe" on Windows).
QString SetupFileName();
// The portable build's file name on this system ("Quillmark.zip" on Windows).
QString PortableZipName();

// The local name of a downloaded file: the text after the URL's last "/", or the whole URL
// when it holds no "/" or ends in one.
QString UrlFileName(const QString& url);

// Whether the URL is fetched over TLS. The update client downloads nothing else: a program
// fetched in the clear could be replaced on its way.
bool IsSecureUrl(const QString& url);

} // namespace qm::update
