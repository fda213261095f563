#pragma once

// Folders of the freedesktop base-directory rules, for the POSIX backends.

#include <string>

namespace qm::platform::posix {

// A folder only this user can use: $XDG_RUNTIME_DIR when it is one (a real folder, not a
// link, owned by the user, open to nobody else); otherwise "quillmark-<uid>" in $TMPDIR (else
// /tmp), created with mode 0700 and checked in the same way, so that no other user can have
// made it, or a link, beforehand. Empty when there is none to be had.
std::string PrivateFolder();

// $XDG_DATA_HOME, else ~/.local/share, else a folder in PrivateFolder(); empty when none.
std::string XdgDataHome();

// Opens `path` with `flags` (O_CLOEXEC and O_NOFOLLOW added: a link planted in its place is
// never followed); -1 on failure.
int OpenNoFollow(const std::string& path, int flags, unsigned mode = 0600);

} // namespace qm::platform::posix
