#pragma once

// The desktop's side of the program's context-menu verbs. On Windows the registry keys the
// program writes are the verbs, and only the shell is told that associations changed. On
// freedesktop systems a verb is a desktop entry in the user's applications folder
// ($XDG_DATA_HOME/applications, else ~/.local/share/applications) that offers the program for a
// MIME type.

#include <string>
#include <string_view>

namespace qm::platform {

struct ShellVerb {
    std::u16string Id;         // names the entry: "quillmark-<Id>.desktop"
    std::u16string Caption;    // the menu text
    std::u16string Executable; // started with the item's path as its only argument
    std::u16string MimeType;   // "inode/directory", "text/x-ms-regedit"
};

// Returns false when the entry could not be written (Windows: nothing to write, true).
bool PublishVerb(const ShellVerb& verb);
// Removes the entry; a missing one is no failure.
void WithdrawVerb(std::u16string_view id);
// SHChangeNotify(SHCNE_ASSOCCHANGED) on Windows; elsewhere the desktop's MIME cache is
// refreshed when its tool (update-desktop-database) is there.
void NotifyAssociationsChanged();

} // namespace qm::platform
