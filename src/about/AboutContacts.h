#pragma once

// The contacts the About window links to.

#include <QString>

namespace qm::about {

inline const QString kMessengerProfile = QStringLiteral("https://messenger.example/quillmark");
inline const QString kFirstMailAddress = QStringLiteral("quillmark@mail.example");
inline const QString kSecondMailAddress = QStringLiteral("support@quillmark.example");
inline const QString kWebSite = QStringLiteral("http://quillmark.example/");

} // namespace qm::about
