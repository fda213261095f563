#include "settings/TextFile.h"

#include "platform/CodePage.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

QByteArray Encode(const QString& text, TTextEncoding encoding) {
    switch (encoding) {
    case TTextEncoding::Utf8:
        return text.toUtf8();
    case TTextEncoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case TTextEncoding::Utf16LE:
        return "\xFF\xFE" + QStringEncoder(QStringEncoder::Utf16LE).encode(text);
    case TTextEncoding::Utf16BE:
        return "\xFE\xFF" + QStringEncoder(QStringEncoder::Utf16BE).encode(text);
    case TTextEncoding::Ansi:
        if (const auto ansi = qm::platform::EncodeAnsi(text.toStdU16String()))
            return QByteArray::fromStdString(*ansi);
        return Encode(text, TTextEncoding::Utf8Bom);
    }
    return {};
}

// The text of a file's bytes, and the encoding they were found in.
void Decode(const QByteArray& bytes, TTextFileRead& read) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        read.Encoding = TTextEncoding::Utf8Bom;
        read.Text = QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool little = bytes.startsWith("\xFF\xFE");
        read.Encoding = little ? TTextEncoding::Utf16LE : TTextEncoding::Utf16BE;
        read.Text = QStringDecoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE)
                        .decode(QByteArrayView(bytes).sliced(2));
    } else if (qm::platform::IsValidUtf8(bytes.toStdString())) {
        read.Text = QString::fromUtf8(bytes);
    } else {
        read.Encoding = TTextEncoding::Ansi;
        read.Text =
            QString::fromStdU16String(qm::platform::DecodeAnsi(bytes.toStdString(), {}).Text);
    }
}

} // namespace

QList<QStringView> TextLines(QStringView text) {
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.sliced(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

TTextFileRead ReadTextFile(const QString& path) {
    TTextFileRead read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.Unreadable = file.exists();
        read.Exact = !read.Unreadable;
        return read;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        read.Unreadable = true;
        read.Exact = false;
        return read;
    }
    Decode(bytes, read);
    read.Exact = Encode(read.Text, read.Encoding) == bytes;
    return read;
}

QString WriteTextFile(const QString& path, const QString& text, TTextEncoding encoding) {
    QByteArray bytes = Encode(text, encoding);
    // Bytes without a mark must read back in the encoding they were written in: ANSI text whose
    // bytes form UTF-8 or begin like a byte-order mark, or UTF-8 text that begins with U+FEFF,
    // would not. Such text is written as UTF-8 with a mark, which reads back exactly.
    TTextFileRead again;
    Decode(bytes, again);
    if (again.Text != text)
        bytes = Encode(text, TTextEncoding::Utf8Bom);
    // A crash or a full disk while writing leaves the old file, never a cut one.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return {};
    return file.errorString();
}
