#pragma once

#include <QStringList>

namespace qm::cli {

extern const char kFilesUsage[];

// quillmark-cli files DIR [options]: `args` are the words after "files".
int RunFilesCommand(const QStringList& args);

} // namespace qm::cli
