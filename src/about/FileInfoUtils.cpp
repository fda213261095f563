#include "about/FileInfoUtils.h"

#include "platform/VersionInfo.h"

#include <QCoreApplication>
#include <QtEndian>

namespace {

using VersionData = std::vector<std::uint8_t>;

// The running program's own data comes from the platform's copy, read once per process.
VersionData Load(const QString& fileName) {
    const bool running =
        QCoreApplication::instance() && fileName == QCoreApplication::applicationFilePath();
    return running ? qm::platform::OwnVersionInfo()
                   : qm::platform::LoadFileVersionInfo(fileName.toStdU16String());
}

QString StringValue(const VersionData& data, const QString& name) {
    return QString::fromStdU16String(qm::platform::VersionString(data, name.toStdU16String()));
}

} // namespace

QString GetVersionInfoValue(const QString& FileName, const QString& ValueName) {
    const VersionData data = Load(FileName);
    return data.empty() ? QString() : StringValue(data, ValueName);
}

QString GetFileVersionText(const QString& FileName) {
    const VersionData data = Load(FileName);
    if (data.empty())
        return {};
    // Digits, with each run of dots and commas as one dot; blanks are skipped, and anything
    // else (the terminating zero too) ends the scan.
    QString result;
    for (const QChar c : StringValue(data, QStringLiteral("FileVersion")) + QChar::Null) {
        if (c.isDigit() && c.unicode() < 128) {
            result.append(c);
        } else if (c == u'.' || c == u',') {
            if (!result.isEmpty() && !result.endsWith(u'.'))
                result.append(u'.');
        } else if (c != u' ') {
            break;
        }
    }
    if (result.endsWith(u'.'))
        result.chop(1);
    if (!result.isEmpty())
        return result;

    const std::uint8_t* fixed = nullptr;
    std::uint32_t length = 0;
    if (!qm::platform::QueryFileVersionInfo(data, u"\\", fixed, length) || length < 52 ||
        qFromLittleEndian<quint32>(fixed) != 0xFEEF04BD)
        return {};
    const quint32 ms = qFromLittleEndian<quint32>(fixed + 8);
    const quint32 ls = qFromLittleEndian<quint32>(fixed + 12);
    return QStringLiteral("%1.%2.%3.%4")
        .arg(ms >> 16)
        .arg(ms & 0xFFFF)
        .arg(ls >> 16)
        .arg(ls & 0xFFFF);
}

QString GetLegalCopyright(const QString& FileName) {
    return GetVersionInfoValue(FileName, QStringLiteral("LegalCopyright"));
}

QString GetCompanyName(const QString& FileName) {
    return GetVersionInfoValue(FileName, QStringLiteral("CompanyName"));
}

QString GetVersionBlockKey(const QString& FileName) {
    return QString::fromStdU16String(qm::platform::VersionBlockKey(Load(FileName)));
}
