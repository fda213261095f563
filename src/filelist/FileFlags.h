#pragma once

// The [Files] flags Inno Setup 6 accepts, in the order of the Files page's checklist: the
// order in which ticked flags are written.

#include <QStringList>

namespace qm::filelist {

const QStringList& InnoFileFlags();

} // namespace qm::filelist
