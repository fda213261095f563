#pragma once

// What the fuzz targets share: a scratch file in a private folder, for the parsers that read
// from a file, and the check that ends a run when a property does not hold.

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

namespace qm::fuzzing {

// The path of a file in a folder of this process's own (removed at exit), holding `bytes`.
QString WriteScratchFile(const QByteArray& bytes, const QString& name = QStringLiteral("input"));

// Ends the run with the input libFuzzer saves as a crash.
[[noreturn]] inline void Fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "property broken: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

inline void Require(bool holds, const char* what, const QString& detail = {}) {
    if (!holds)
        Fail(what, detail);
}

} // namespace qm::fuzzing
