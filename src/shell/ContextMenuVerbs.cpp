#include "shell/ContextMenuVerbs.h"

#include "platform/Registry.h"
#include "platform/ShellVerbs.h"

namespace qm::shell {

namespace {

using qm::platform::RegistryAccessor;

std::u16string U16(const QString& s) {
    return s.toStdU16String();
}

const char16_t* DesktopId(TVerbKind kind) {
    return kind == TVerbKind::Folder ? u"folder" : u"regfile";
}

const char16_t* MimeType(TVerbKind kind) {
    return kind == TVerbKind::Folder ? u"inode/directory" : u"text/x-ms-regedit";
}

bool WriteVerbKeys(TVerbKind kind, const QString& caption, const QString& executable) {
    RegistryAccessor registry(RegistryAccessor::Access::Full);
    if (!registry.OpenKey(U16(VerbKeyPath(kind)), true) ||
        !registry.WriteString(u"", U16(caption)) || !registry.WriteString(u"Icon", U16(executable)))
        return false;
    registry.CloseKey();
    return registry.OpenKey(U16(VerbKeyPath(kind) + QStringLiteral("\\command")), true) &&
           registry.WriteString(u"", U16(VerbCommandLine(executable)));
}

} // namespace

QString VerbKeyPath(TVerbKind kind) {
    return kind == TVerbKind::Folder
               ? QStringLiteral("Software\\Classes\\Directory\\shell\\Quillmark")
               : QStringLiteral("Software\\Classes\\regfile\\shell\\Quillmark");
}

QString VerbCommandLine(const QString& executable) {
    return u'"' + executable + QStringLiteral("\" \"%1\"");
}

// The key and the desktop entry change together or not at all: a key without its entry shows
// the item ticked while the file manager offers nothing, and the reverse.
void RegisterVerb(TVerbKind kind, const QString& caption, const QString& executable) {
    if (!WriteVerbKeys(kind, caption, executable) ||
        !qm::platform::PublishVerb(
            {DesktopId(kind), U16(caption), U16(executable), MimeType(kind)}))
        UnregisterVerb(kind);
}

void UnregisterVerb(TVerbKind kind) {
    RegistryAccessor registry(RegistryAccessor::Access::Full);
    registry.DeleteKey(U16(VerbKeyPath(kind) + QStringLiteral("\\command")));
    registry.DeleteKey(U16(VerbKeyPath(kind)));
    if (!VerbRegistered(kind))
        qm::platform::WithdrawVerb(DesktopId(kind));
}

bool VerbRegistered(TVerbKind kind) {
    RegistryAccessor registry(RegistryAccessor::Access::Read);
    return registry.KeyExists(U16(VerbKeyPath(kind)));
}

void NotifyShell() {
    qm::platform::NotifyAssociationsChanged();
}

} // namespace qm::shell
