#include "innotext/InnoText.h"

#include <QStringBuilder>

namespace qm::innotext {

namespace {

bool BreaksLine(char16_t c) {
    return c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

bool IsInvisible(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || BreaksLine(c);
}

} // namespace

void AppendInnoEscaped(TLineBuffer& out, QStringView text, TConstants constants) {
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    const bool expanded = constants == TConstants::Expanded;
    qsizetype plain = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (c != u'{' && c != u'"')
            continue;
        out.append(p + plain, static_cast<std::size_t>(i - plain));
        plain = i + 1;
        if (c == u'"') {
            out.append(u"\"\"");
        } else if (i + 1 < n && p[i + 1] == u'#') {
            out.append(expanded ? u"{#\"{{#\"}" : u"{#\"{#\"}");
            plain = i + 2;
            ++i;
        } else {
            out.append(expanded ? u"{{" : u"{");
        }
    }
    out.append(p + plain, static_cast<std::size_t>(n - plain));
}

QString InnoQuoted(QStringView text, TConstants constants) {
    TLineBuffer out;
    out.reserve(static_cast<std::size_t>(text.size()) + 8);
    out.push_back(u'"');
    AppendInnoEscaped(out, text, constants);
    out.push_back(u'"');
    return ToQString(out);
}

QString LineBreakingProblem(QStringView text, QStringView what) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u > u'\r' && u < 0x2028) // nearly every character
            continue;
        if (u == 0)
            return what % QStringLiteral(" holds a NUL character, which Inno Setup cannot write");
        if (u == u'\r' || u == u'\n')
            return what % QStringLiteral(" holds a line break, which Inno Setup cannot write");
        if (BreaksLine(u))
            return what % QStringLiteral(" holds the separator ") %
                   VisibleText(QStringView(&c, 1)) %
                   QStringLiteral(", which would split the line where it is shown or copied");
    }
    return {};
}

QString VisibleText(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (IsInvisible(c.unicode()))
            out += QStringLiteral("<U+%1>").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString InnoComment(QStringView text) {
    QString out = QStringLiteral("; ") + VisibleText(text);
    while (out.endsWith(u'\\') || out.endsWith(u' '))
        out.chop(1);
    return out;
}

} // namespace qm::innotext
