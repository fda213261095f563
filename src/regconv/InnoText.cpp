#include "regconv/InnoText.h"

namespace qm::regconv {

void AppendInnoEscaped(QString& out, QStringView text) {
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'{' || c == u'"') {
            out.append(text.sliced(plain, i + 1 - plain));
            out.append(c);
            plain = i + 1;
        }
    }
    out.append(text.sliced(plain));
}

QString InnoQuoted(QStringView text) {
    QString out;
    out.reserve(text.size() + 8);
    out.append(u'"');
    AppendInnoEscaped(out, text);
    out.append(u'"');
    return out;
}

QString InnoComment(QStringView text) {
    QString out = QStringLiteral("; ") + text.toString();
    for (QChar& c : out) {
        if (c == u'\r' || c == u'\n' || c == QChar::Null)
            c = u' ';
    }
    while (out.endsWith(u'\\') || out.endsWith(u' '))
        out.chop(1);
    return out;
}

} // namespace qm::regconv
