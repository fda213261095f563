#include "regconv/InnoText.h"

namespace qm::regconv {

void AppendInnoEscaped(TLineBuffer& out, QStringView text) {
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    qsizetype plain = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (c == u'{' || c == u'"') {
            out.append(p + plain, static_cast<std::size_t>(i + 1 - plain));
            out.push_back(c);
            plain = i + 1;
        }
    }
    out.append(p + plain, static_cast<std::size_t>(n - plain));
}

QString InnoQuoted(QStringView text) {
    TLineBuffer out;
    out.reserve(static_cast<std::size_t>(text.size()) + 8);
    out.push_back(u'"');
    AppendInnoEscaped(out, text);
    out.push_back(u'"');
    return ToQString(out);
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
