#include "regconv/RegFileDecoding.h"

#include "platform/CodePage.h"
#include "regconv/RegConvertError.h"

#include <QFile>
#include <QtEndian>

namespace {

// The length of `bytes` without a UTF-8 sequence that is cut off at its end.
qsizetype CompleteUtf8Length(QByteArrayView bytes) {
    const qsizetype n = bytes.size();
    for (qsizetype back = 1; back <= 4 && back <= n; ++back) {
        const auto b = static_cast<unsigned char>(bytes[n - back]);
        if ((b & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead
        const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return length > back ? n - back : n;
    }
    return n;
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

TRegTextReader::TRegTextReader(QFile& file, QString fileName, const QString& codePage)
    : FFile(file), FFileName(std::move(fileName)), FAnsiCodePage(codePage) {
    char head[4] = {};
    const qint64 headSize = FFile.peek(head, sizeof head);
    if (headSize < 0)
        ThrowReadError();
    const auto b = [&](int i) { return i < headSize ? static_cast<unsigned char>(head[i]) : -1; };
    if (b(0) == 0xFF && b(1) == 0xFE) {
        FForm = TForm::Utf16Le;
        FFile.skip(2);
    } else if (b(0) == 0xFE && b(1) == 0xFF) {
        FForm = TForm::Utf16Be;
        FFile.skip(2);
    } else if (headSize == 4 && b(0) != 0 && b(1) == 0 && b(2) != 0 && b(3) == 0) {
        FForm = TForm::Utf16Le; // UTF-16LE that lost its mark: ANSI text never holds zero bytes
    } else if (b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) {
        FForm = TForm::Utf8;
        FFile.skip(3);
    }
    FUnicode = FForm != TForm::Ansi;
}

void TRegTextReader::ThrowReadError() const {
    throw ERegConvertError(
        QStringLiteral("Cannot read file \"%1\": %2").arg(FFileName, FFile.errorString()));
}

bool TRegTextReader::Read(QString& text) {
    if (FEnded)
        return false;
    if (FForm == TForm::Ansi) {
        FEnded = true;
        const QByteArray bytes = FFile.readAll();
        if (FFile.error() != QFileDevice::NoError)
            ThrowReadError();
        text += DecodeAnsiBytes(bytes, FAnsiCodePage, &FCodePage);
        return true;
    }
    if (FForm == TForm::Utf8)
        return ReadUtf8(text);
    // UTF-16 is read straight into the text, each byte where its code unit goes.
    const qsizetype old = text.size();
    text.resize(old + kChunkBytes / 2 + 1);
    char* bytes = reinterpret_cast<char*>(text.data() + old);
    const qsizetype have = FHasOddByte ? 1 : 0;
    bytes[0] = FOddByte;
    const qint64 got = FFile.read(bytes + have, kChunkBytes);
    if (got < 0)
        ThrowReadError();
    if (got == 0) {
        FEnded = true;
        text.resize(old);
        if (FHasOddByte) // half a code unit at the end of a cut file
            text += QChar::ReplacementCharacter;
        return false;
    }
    const qsizetype total = have + got;
    const qsizetype units = total / 2;
    FHasOddByte = total % 2 != 0;
    if (FHasOddByte)
        FOddByte = bytes[total - 1];
    text.resize(old + units);
    char16_t* at = reinterpret_cast<char16_t*>(text.data() + old);
    if (FForm == TForm::Utf16Le)
        qFromLittleEndian<char16_t>(at, units, at);
    else
        qFromBigEndian<char16_t>(at, units, at);
    return true;
}

bool TRegTextReader::ReadUtf8(QString& text) {
    FChunk.resize(kChunkBytes);
    const qint64 got = FFile.read(FChunk.data(), kChunkBytes);
    if (got < 0)
        ThrowReadError();
    if (got == 0) {
        FEnded = true;
        text += QString::fromUtf8(FPending); // a sequence cut off at the end
        return false;
    }
    // Decoded up to the last complete sequence; the rest waits for the next chunk.
    FPending.append(QByteArrayView(FChunk.constData(), got));
    const qsizetype cut = CompleteUtf8Length(FPending);
    text += QString::fromUtf8(QByteArrayView(FPending).first(cut));
    FPending.remove(0, cut);
    return true;
}

void OpenRegFile(QFile& file, const QString& fileName) {
    if (!file.open(QIODevice::ReadOnly)) {
        throw ERegConvertError(
            QStringLiteral("Cannot read file \"%1\": %2").arg(fileName, file.errorString()));
    }
}

TRegFileText ReadRegFile(const QString& fileName, const QString& codePage) {
    QFile file(fileName);
    OpenRegFile(file, fileName);
    return ReadRegFile(file, fileName, codePage);
}

TRegFileText ReadRegFile(QFile& file, const QString& fileName, const QString& codePage) {
    TRegTextReader reader(file, fileName, codePage);
    TRegFileText result;
    if (!file.isSequential())
        result.Text.reserve(
            static_cast<qsizetype>(reader.Unicode() ? file.size() / 2 : file.size()));
    while (reader.Read(result.Text)) {
    }
    result.Unicode = reader.Unicode();
    result.CodePage = reader.CodePage();
    return result;
}
