#pragma once

#include <QStringList>

namespace qm::cli {

extern const char kRegistryUsage[];

// quillmark-cli registry FILE.reg [options]: `args` are the words after "registry".
int RunRegistryCommand(const QStringList& args);

} // namespace qm::cli
