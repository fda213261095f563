#include "settings/TextFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

QString ReadTextFile(const QString& path, TTextEncoding* encoding, bool* ok) {
    if (encoding)
        *encoding = TTextEncoding::Utf8;
    if (ok)
        *ok = true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (ok)
            *ok = !file.exists();
        return {};
    }
    const QByteArray bytes = file.readAll();
    TTextEncoding found = TTextEncoding::Utf8;
    QByteArrayView body(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        found = TTextEncoding::Utf8Bom;
        body = body.sliced(3);
    } else if (bytes.startsWith("\xFF\xFE")) {
        found = TTextEncoding::Utf16LE;
        decoder = QStringDecoder(QStringDecoder::Utf16LE);
        body = body.sliced(2);
    } else if (bytes.startsWith("\xFE\xFF")) {
        found = TTextEncoding::Utf16BE;
        decoder = QStringDecoder(QStringDecoder::Utf16BE);
        body = body.sliced(2);
    }
    if (encoding)
        *encoding = found;
    return decoder.decode(body);
}

QString WriteTextFile(const QString& path, const QString& text, TTextEncoding encoding) {
    QByteArray bytes;
    switch (encoding) {
    case TTextEncoding::Utf8:
        bytes = text.toUtf8();
        break;
    case TTextEncoding::Utf8Bom:
        bytes = "\xEF\xBB\xBF" + text.toUtf8();
        break;
    case TTextEncoding::Utf16LE:
        bytes = "\xFF\xFE" + QStringEncoder(QStringEncoder::Utf16LE).encode(text);
        break;
    case TTextEncoding::Utf16BE:
        bytes = "\xFE\xFF" + QStringEncoder(QStringEncoder::Utf16BE).encode(text);
        break;
    }
    // A crash or a full disk while writing leaves the old file, never a cut one.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return {};
    return file.errorString();
}
