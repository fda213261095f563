#pragma once

// The per-user context-menu verbs: "open this folder in Quillmark" and "convert this .reg file
// in Quillmark". A verb is on exactly while its registry key exists under HKEY_CURRENT_USER; on
// freedesktop systems a desktop entry mirrors it (platform/ShellVerbs.h).

#include <QString>

enum class TVerbKind { Folder, RegFile };

namespace qm::shell {

// "Software\Classes\Directory\shell\Quillmark" and "Software\Classes\regfile\shell\Quillmark".
QString VerbKeyPath(TVerbKind kind);
// A double quote, the executable, then `" "%1"`.
QString VerbCommandLine(const QString& executable);

// Writes the verb key (default value `caption`, value Icon = the executable) and its command
// subkey; failures are silent.
void RegisterVerb(TVerbKind kind, const QString& caption, const QString& executable);
// Deletes the command subkey, then the verb key with whatever subkeys it still has.
void UnregisterVerb(TVerbKind kind);
// Whether the verb key exists (its values and subkeys are not looked at).
bool VerbRegistered(TVerbKind kind);
// Tells the shell that associations changed.
void NotifyShell();

} // namespace qm::shell
