#pragma once

#include <QStringList>

namespace qm::cli {

extern const char kVersionUsage[];

// quillmark-cli version FILE: `args` are the words after "version".
int RunVersionCommand(const QStringList& args);
// quillmark-cli --version: the program's own version, read from its own binary.
int PrintOwnVersion();

} // namespace qm::cli
