#pragma once

#include <string>
#include <string_view>

namespace qm::platform {

// Opens a file, folder or link (http:, https:, mailto:) as the desktop does: Windows
// ShellExecuteW "open"; elsewhere an executable file is started, anything else goes to the
// desktop's handler (xdg-open). Returns whether it could be handed over; the program started
// runs on its own.
bool ShellOpen(std::u16string_view target);

enum class ShowMode { Normal, Hidden };
// ShellOpen with a parameter text for the program started and the way its window shows
// (Windows: ShellExecuteW "open" with SW_SHOWNORMAL or SW_HIDE). Elsewhere programs take no
// such parameter text: with one nothing is started and the result is false; without one this
// is ShellOpen (a program started there shows no window of the shell's).
bool ShellOpen(std::u16string_view target, std::u16string_view parameters, ShowMode show);

// The target of a shell shortcut (.lnk) file, or the empty text. Only Windows has shortcut
// files of this kind; elsewhere the result is always empty.
std::u16string ShortcutTarget(std::u16string_view shortcutPath);

} // namespace qm::platform
