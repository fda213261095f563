// Writes a large, realistic registry export in the version 5 form (UTF-16LE with a mark):
// software settings under nested keys, with every value type the registry editor writes, long
// binary and string data wrapped over continuation lines, deletions, and non-ASCII text.
//
//   qm_gen_reg_export OUT.reg [MEGABYTES=100]

#include "RegExportWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <cstdio>

using namespace qm::testing;

namespace {

const QStringList kWords = {
    QStringLiteral("Settings"), QStringLiteral("Window"),  QStringLiteral("Recent"),
    QStringLiteral("Plugins"),  QStringLiteral("Toolbar"), QStringLiteral("Профиль"),
    QStringLiteral("Layout"),   QStringLiteral("Codecs"),  QStringLiteral("履歴"),
    QStringLiteral("Fonts"),    QStringLiteral("Network"), QStringLiteral("Paths")};

class Source {
public:
    explicit Source(quint32 seed) : m_rng(seed) {}

    int Below(int n) { return static_cast<int>(m_rng.bounded(n)); }
    const QString& Word() { return kWords[Below(static_cast<int>(kWords.size()))]; }

    QString Path() {
        QString p = QStringLiteral("C:\\Program Files\\") + Word() + QStringLiteral("\\");
        for (int i = Below(4); i > 0; --i)
            p += Word() + QString::number(Below(100)) + QStringLiteral("\\");
        return p + Word() + QStringLiteral(".dat");
    }

    ExportValue Value(int index) {
        ExportValue v;
        v.Name = Word() + QString::number(index);
        const int pick = Below(100);
        if (pick < 35) {
            v.Kind = ExportKind::String;
            v.Text = Below(3) == 0 ? QStringLiteral("Quoted \"value\" {") + Word() + u'}' : Path();
        } else if (pick < 55) {
            v.Kind = ExportKind::DWord;
            v.Number = m_rng.generate();
        } else if (pick < 67) {
            v.Kind = ExportKind::Binary;
            for (int i = 8 + Below(120); i > 0; --i)
                v.Bytes.append(static_cast<char>(Below(256)));
        } else if (pick < 77) {
            v.Kind = ExportKind::ExpandSz;
            v.Text = QStringLiteral("%ProgramFiles%\\") + Word() + QStringLiteral("\\bin");
        } else if (pick < 85) {
            v.Kind = ExportKind::MultiSz;
            for (int i = 1 + Below(4); i > 0; --i)
                v.Strings.append(Word() + QStringLiteral(" item"));
        } else if (pick < 92) {
            v.Kind = ExportKind::QWord;
            v.Number = m_rng.generate64();
        } else if (pick < 96) {
            v.Kind = ExportKind::HexString;
            v.Text = Word();
        } else {
            v.Kind = ExportKind::Delete;
        }
        if (index == 0 && Below(4) == 0)
            v.Name.clear(); // the default value
        return v;
    }

    ExportKey Key(int index) {
        ExportKey key;
        key.Path =
            QStringLiteral("HKEY_CURRENT_USER\\Software\\Vendor%1\\Product\\").arg(index / 500) +
            Word() + QStringLiteral("\\Section") + QString::number(index);
        key.Deleted = Below(50) == 0;
        if (!key.Deleted) {
            for (int i = 0, n = 2 + Below(12); i < n; ++i)
                key.Values.append(Value(i));
        }
        return key;
    }

private:
    QRandomGenerator m_rng;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fputs("usage: qm_gen_reg_export OUT.reg [MEGABYTES=100]\n", stderr);
        return 2;
    }
    const qint64 target = (args.size() > 2 ? args[2].toLongLong() : 100) * 1000 * 1000;
    QFile out(args[1]);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fputs("cannot write the output file\n", stderr);
        return 1;
    }
    Source source(1);
    QString chunk = ExportHeader(false);
    qint64 written = 0;
    bool first = true;
    for (int index = 0; written < target; ++index) {
        chunk += ExportKeyText(source.Key(index), false);
        if (chunk.size() > (1 << 20)) {
            const QByteArray bytes =
                first ? Utf16LeWithBom(chunk) : Utf16LeWithBom(chunk).sliced(2);
            out.write(bytes);
            written += bytes.size();
            chunk.clear();
            first = false;
        }
    }
    out.write(first ? Utf16LeWithBom(chunk) : Utf16LeWithBom(chunk).sliced(2));
    return out.flush() ? 0 : 1;
}
