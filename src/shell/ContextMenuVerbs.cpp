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

} // namespace

QString VerbKeyPath(TVerbKind kind) {
    return kind == TVerbKind::Folder
               ? QStringLiteral("Software\\Classes\\Directory\\shell\\Quillmark")
               : QStringLiteral("Software\\Classes\\regfile\\shell\\Quillmark");
}

QString VerbCommandLine(const QString& executable) {
    return u'"' + executable + QStringLiteral("\" \"%1\"");
}

void RegisterVerb(TVerbKind kind, const QString& caption, const QString& executable) {
    RegistryAccessor registry(RegistryAccessor::Access::Full);
    if (!registry.OpenKey(U16(VerbKeyPath(kind)), true))
        return;
    registry.WriteString(u"", U16(caption));
    registry.WriteString(u"Icon", U16(executable));
    registry.CloseKey();
    if (!registry.OpenKey(U16(VerbKeyPath(kind) + QStringLiteral("\\command")), true))
        return;
    registry.WriteString(u"", U16(VerbCommandLine(executable)));
    registry.CloseKey();
    qm::platform::PublishVerb({DesktopId(kind), U16(caption), U16(executable), MimeType(kind)});
}

void UnregisterVerb(TVerbKind kind) {
    RegistryAccessor registry(RegistryAccessor::Access::Full);
    registry.DeleteKey(U16(VerbKeyPath(kind) + QStringLiteral("\\command")));
    registry.DeleteKey(U16(VerbKeyPath(kind)));
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
