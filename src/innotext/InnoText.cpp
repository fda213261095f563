#include "innotext/InnoText.h"

#include "innotext/TextScan.h"

#include <QStringBuilder>

namespace qm::innotext {

using namespace std::string_view_literals;

namespace {

bool IsInvisible(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || BreaksScriptLine(c);
}

} // namespace

void AppendInnoEscaped(TLineBuffer& out, QStringView text, TConstants constants) {
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    const char16_t* const end = p + text.size();
    const bool expanded = constants == TConstants::Expanded;
    for (;;) {
        const char16_t* special = FindEither(p, end, u'{', u'"');
        out.append(p, static_cast<std::size_t>(special - p));
        if (special == end)
            return;
        p = special + 1;
        if (*special == u'"') {
            out.append(u"\"\""sv);
        } else if (p < end && *p == u'#') {
            out.append(expanded ? u"{#\"{{#\"}"sv : u"{#\"{#\"}"sv);
            ++p;
        } else {
            out.append(expanded ? u"{{"sv : u"{"sv);
        }
    }
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
    const char16_t* begin = reinterpret_cast<const char16_t*>(text.utf16());
    const char16_t* end = begin + text.size();
    const char16_t* found = FindScriptLineBreak(begin, end);
    if (found == end)
        return {};
    const char16_t u = *found;
    if (u == 0)
        return what % QStringLiteral(" holds a NUL character, which Inno Setup cannot write");
    if (u == u'\r' || u == u'\n')
        return what % QStringLiteral(" holds a line break, which Inno Setup cannot write");
    return what % QStringLiteral(" holds the separator ") % VisibleText(QStringView(found, 1)) %
           QStringLiteral(", which would split the line where it is shown or copied");
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
