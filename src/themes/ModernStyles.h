#pragma once

#include <QString>

namespace qm::themes {

// Applies "Windows11 Modern Light" or "Windows11 Modern Dark" to the whole application: the
// Fusion style with a palette and a style sheet after Windows 11 (light or dark surfaces, its
// accent colour, rounded controls). False, and nothing changed, for any other name.
bool ApplyModernStyle(const QString& name);

} // namespace qm::themes
