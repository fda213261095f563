// Version texts of any kind, as a download server's version file may hold them: the file's
// text is trimmed once and for good, and the comparison is an order (never both newer and
// older, transitive, blind to the blanks trimming removes).

#include "FuzzSupport.h"
#include "update/UpdateVersion.h"

#include <QList>

using namespace qm::fuzzing;
using qm::update::CompareVersions;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> parts = input.split('\0');
    QStringList v;
    for (const QByteArray& part : parts)
        v << qm::update::ServerVersionText(part);
    while (v.size() < 3)
        v << QString();

    for (const QString& text : v) {
        Require(qm::update::TrimVersionText(text) == text, "a version file's text is trimmed",
                text);
        Require(text.isEmpty() || !text.startsWith(QChar(0xFEFF)),
                "a byte-order mark is not part of the version", text);
        Require(CompareVersions(text, text) == 0, "a version equals itself", text);
        Require(CompareVersions(u' ' + text + QStringLiteral("\r\n"), text) == 0,
                "blanks around a version change nothing", text);
    }
    const QString &a = v[0], &b = v[1], &c = v[2];
    const int ab = CompareVersions(a, b);
    Require(ab >= -1 && ab <= 1 && CompareVersions(b, a) == -ab,
            "A newer than B exactly when B is older than A", a + u'|' + b);
    if (ab >= 0 && CompareVersions(b, c) >= 0)
        Require(CompareVersions(a, c) >= 0, "the order is transitive", a + u'|' + b + u'|' + c);
    return 0;
}
