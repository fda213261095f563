#include "regconv/RegConvOptions.h"

#include <QRegularExpression>

bool IsInnoMinVersion(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^([0-9]+)(?:\\.([0-9]+)(?:\\.([0-9]+))?)?(?:[sS][pP]([0-9]+))?$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return false;
    const auto within = [&m](int group, qlonglong limit) {
        return m.captured(group).isEmpty() || m.captured(group).toLongLong() <= limit;
    };
    return m.captured(1).size() <= 9 && m.captured(2).size() <= 9 && m.captured(3).size() <= 9 &&
           m.captured(4).size() <= 9 && within(1, 127) && within(2, 99) && within(3, 65535) &&
           within(4, 255);
}

bool ParseRegPrivileges(const QString& text, TRegPrivileges& privileges) {
    if (text == u"admin")
        privileges = TRegPrivileges::Admin;
    else if (text == u"lowest")
        privileges = TRegPrivileges::Lowest;
    else if (text == u"dynamic")
        privileges = TRegPrivileges::Dynamic;
    else
        return false;
    return true;
}
