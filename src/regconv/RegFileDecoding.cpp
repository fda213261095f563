#include "regconv/RegFileDecoding.h"

#include "platform/CodePage.h"
#include "regconv/RegConvertError.h"

#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

namespace {

[[noreturn]] void ThrowReadError(const QString& fileName, const QFile& file) {
    throw ERegConvertError(
        QStringLiteral("Cannot read file \"%1\": %2").arg(fileName, file.errorString()));
}

// Reads the rest of the file straight into the string's storage: a 100 MB export is not held
// twice.
QString ReadUtf16Rest(QFile& file, const QString& fileName, qint64 byteCount, bool bigEndian) {
    QString text(static_cast<qsizetype>(byteCount / 2), Qt::Uninitialized);
    const qint64 got = file.read(reinterpret_cast<char*>(text.data()), (byteCount / 2) * 2);
    if (got < 0)
        ThrowReadError(fileName, file);
    text.truncate(static_cast<qsizetype>(got / 2)); // the file shrank while it was read
    const bool swap = bigEndian != (QSysInfo::ByteOrder == QSysInfo::BigEndian);
    if (swap) {
        for (QChar& c : text)
            c = QChar(qbswap(c.unicode()));
    }
    if (byteCount % 2 != 0 && got == byteCount - 1)
        text.append(QChar::ReplacementCharacter); // half a code unit at the end of a cut file
    return text;
}

} // namespace

QString DecodeAnsiBytes(QByteArrayView bytes, const QString& codePage, QString* usedCodePage) {
    const QByteArray name = codePage.toLatin1();
    qm::platform::AnsiText decoded = qm::platform::DecodeAnsi(
        std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())),
        std::string_view(name.constData(), static_cast<std::size_t>(name.size())));
    if (decoded.CodePage.empty())
        throw ERegConvertError(QStringLiteral("Unknown code page \"%1\"").arg(codePage));
    if (usedCodePage)
        *usedCodePage = QString::fromStdString(decoded.CodePage);
    return QString::fromStdU16String(decoded.Text);
}

TRegFileText ReadRegFile(const QString& fileName, const QString& codePage) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        ThrowReadError(fileName, file);
    return ReadRegFile(file, fileName, codePage);
}

TRegFileText ReadRegFile(QFile& file, const QString& fileName, const QString& codePage) {
    char head[4] = {};
    const qint64 headSize = file.peek(head, sizeof head);
    if (headSize < 0)
        ThrowReadError(fileName, file);
    const auto b = [&](int i) { return i < headSize ? static_cast<unsigned char>(head[i]) : -1; };
    const bool littleMark = b(0) == 0xFF && b(1) == 0xFE;
    const bool bigMark = b(0) == 0xFE && b(1) == 0xFF;
    // UTF-16LE that lost its mark: ANSI text never holds zero bytes.
    const bool littleUnmarked = headSize == 4 && b(0) != 0 && b(1) == 0 && b(2) != 0 && b(3) == 0;

    TRegFileText result;
    result.Unicode = littleMark || bigMark || littleUnmarked;
    if (result.Unicode && !file.isSequential()) {
        const qint64 mark = littleUnmarked ? 0 : 2;
        file.skip(mark);
        result.Text = ReadUtf16Rest(file, fileName, file.size() - mark, bigMark);
        return result;
    }
    // A pipe, or text of one byte per character: read to the end, whatever its size says.
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        ThrowReadError(fileName, file);
    if (result.Unicode) {
        const QByteArrayView units = QByteArrayView(bytes).sliced(littleUnmarked ? 0 : 2);
        QStringDecoder decoder(bigMark ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE,
                               QStringDecoder::Flag::Stateless);
        result.Text = decoder.decode(units);
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        result.Text = QString::fromUtf8(QByteArrayView(bytes).sliced(3));
        result.Unicode = true;
    } else {
        result.Text = DecodeAnsiBytes(bytes, codePage, &result.CodePage);
    }
    return result;
}
