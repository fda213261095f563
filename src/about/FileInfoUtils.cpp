#include "about/FileInfoUtils.h"

#include "platform/VersionInfo.h"

#include <QCoreApplication>
#include <QMutex>
#include <QtEndian>
#include <optional>

namespace {

const QString kDefaultBlockKey = QStringLiteral("040904E4");

using VersionData = std::vector<std::uint8_t>;

VersionData Load(const QString& fileName) {
    // The running program's own block is read once: its title, the settings path, the About
    // window and the update check all ask for it, and the file of a running program does not
    // change (an update replaces it only after the program has ended).
    static QMutex mutex;
    static QString selfPath;
    static std::optional<VersionData> self;
    const QString running =
        QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    if (running.isEmpty() || fileName != running)
        return qm::platform::LoadFileVersionInfo(fileName.toStdU16String());
    const QMutexLocker lock(&mutex);
    if (!self || selfPath != running) {
        self = qm::platform::LoadFileVersionInfo(fileName.toStdU16String());
        selfPath = running;
    }
    return *self;
}

bool Query(const VersionData& data, const QString& path, const std::uint8_t*& value,
           std::uint32_t& length) {
    return qm::platform::QueryFileVersionInfo(data, path.toStdU16String(), value, length);
}

// The first translation as "%.4X%.4X" (language, code page); the default when the table is
// missing, shorter than one pair, or 0000/0000.
QString BlockKey(const VersionData& data) {
    const std::uint8_t* value = nullptr;
    std::uint32_t length = 0;
    if (!Query(data, QStringLiteral("\\VarFileInfo\\Translation"), value, length) || length < 4)
        return kDefaultBlockKey;
    const QString key = QStringLiteral("%1%2")
                            .arg(qFromLittleEndian<quint16>(value), 4, 16, QLatin1Char('0'))
                            .arg(qFromLittleEndian<quint16>(value + 2), 4, 16, QLatin1Char('0'))
                            .toUpper();
    return key == u"00000000" ? kDefaultBlockKey : key;
}

// The string value, at most `length` characters, up to its terminating zero.
QString StringValue(const VersionData& data, const QString& name) {
    const std::uint8_t* value = nullptr;
    std::uint32_t length = 0;
    if (!Query(data, QStringLiteral("\\StringFileInfo\\") + BlockKey(data) + u'\\' + name, value,
               length) ||
        length == 0)
        return {};
    QString text;
    for (std::uint32_t i = 0; i < length; ++i) {
        const auto c = qFromLittleEndian<quint16>(value + 2 * i);
        if (c == 0)
            break;
        text.append(QChar(c));
    }
    return text;
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
    if (!Query(data, QStringLiteral("\\"), fixed, length) || length < 52 ||
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
    const VersionData data = Load(FileName);
    return data.empty() ? QString() : BlockKey(data);
}
