#pragma once

// Reads [Registry] section lines back the way Inno Setup 6's compiler reads them, and says
// why it would reject a line. Tests use it to prove that the converter's output compiles and
// that it installs the data of the export.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace qm::testing {

struct InnoRegEntry {
    QString Root;
    QString Subkey; // constants expanded ("{{" -> "{")
    QString ValueType = QStringLiteral("none");
    bool HasValueName = false;
    QString ValueName; // constants expanded
    bool HasValueData = false;
    QString Text;        // string, expandsz
    QStringList Strings; // multisz, split at {break}
    quint64 Number = 0;  // dword, qword
    QByteArray Bytes;    // binary
    QStringList Flags;
};

enum class InnoLineKind { Empty, Section, Comment, Entry };

struct InnoLine {
    InnoLineKind Kind = InnoLineKind::Empty;
    InnoRegEntry Entry;
    QString Error; // non-empty: Inno Setup would not compile this line
};

InnoLine ParseInnoRegistryLine(const QString& line);

} // namespace qm::testing
