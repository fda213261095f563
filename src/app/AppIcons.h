#pragma once

// The program's pictures, drawn at run time: the program icon, the two page buttons' pictures
// (48 x 48) and the option buttons' picture (16 x 16).

#include <QIcon>

namespace qm::app {

QIcon ProgramIcon();
QIcon FilesPageIcon();
QIcon RegistryPageIcon();
QIcon OptionsIcon();

} // namespace qm::app
