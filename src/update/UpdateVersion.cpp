#include "update/UpdateVersion.h"

#include "platform/TextTrim.h"

#include <QStringDecoder>
#include <QStringList>
#include <algorithm>

namespace qm::update {

namespace {

bool IsBlank(QChar c) {
    return c.unicode() <= 32;
}

QStringList Components(const QString& version) {
    QStringList components;
    if (TrimVersionText(version).isEmpty())
        return components;
    for (const QString& dotted : version.split(u'.')) {
        // Blanks inside a dotted part separate words; blanks next to a dot add nothing.
        QStringList words;
        QString word;
        for (const QChar c : dotted) {
            if (!IsBlank(c)) {
                word += c;
            } else if (!word.isEmpty()) {
                words << word;
                word.clear();
            }
        }
        if (!word.isEmpty() || words.isEmpty())
            words << word;
        components << words;
    }
    return components;
}

int ComponentValue(const QStringList& components, qsizetype i) {
    if (i >= components.size())
        return 0;
    bool ok = false;
    const int value = components[i].toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

QString TrimVersionText(const QString& text) {
    return QStringView(qm::platform::TrimControl(qm::platform::Utf16View(text))).toString();
}

QString ServerVersionText(const QByteArray& body) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = TrimVersionText(utf8.decode(body));
    // Marks an editor left after blanks, or repeated, are no part of it either.
    while (text.startsWith(QChar(0xFEFF)))
        text = TrimVersionText(text.sliced(1));
    return text;
}

int CompareVersions(const QString& A, const QString& B) {
    const QStringList a = Components(A);
    const QStringList b = Components(B);
    const qsizetype n = std::max(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int left = ComponentValue(a, i);
        const int right = ComponentValue(b, i);
        if (left != right)
            return left > right ? 1 : -1;
    }
    return 0;
}

} // namespace qm::update
