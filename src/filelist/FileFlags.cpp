#include "filelist/FileFlags.h"

namespace qm::filelist {

const QStringList& InnoFileFlags() {
    // The four most used first, then the rest alphabetically.
    static const QStringList flags = {
        QStringLiteral("ignoreversion"),
        QStringLiteral("overwritereadonly"),
        QStringLiteral("32bit"),
        QStringLiteral("64bit"),
        QStringLiteral("allowunsafefiles"),
        QStringLiteral("comparetimestamp"),
        QStringLiteral("confirmoverwrite"),
        QStringLiteral("createallsubdirs"),
        QStringLiteral("deleteafterinstall"),
        QStringLiteral("dontcopy"),
        QStringLiteral("dontverifychecksum"),
        QStringLiteral("download"),
        QStringLiteral("external"),
        QStringLiteral("extractarchive"),
        QStringLiteral("fontisnttruetype"),
        QStringLiteral("gacinstall"),
        QStringLiteral("isreadme"),
        QStringLiteral("issigverify"),
        QStringLiteral("nocompression"),
        QStringLiteral("noencryption"),
        QStringLiteral("noregerror"),
        QStringLiteral("notimestamp"),
        QStringLiteral("onlyifdestfileexists"),
        QStringLiteral("onlyifdoesntexist"),
        QStringLiteral("promptifolder"),
        QStringLiteral("recursesubdirs"),
        QStringLiteral("regserver"),
        QStringLiteral("regtypelib"),
        QStringLiteral("replacesameversion"),
        QStringLiteral("restartreplace"),
        QStringLiteral("setntfscompression"),
        QStringLiteral("sharedfile"),
        QStringLiteral("sign"),
        QStringLiteral("signcheck"),
        QStringLiteral("signonce"),
        QStringLiteral("skipifsourcedoesntexist"),
        QStringLiteral("solidbreak"),
        QStringLiteral("sortfilesbyextension"),
        QStringLiteral("sortfilesbyname"),
        QStringLiteral("touch"),
        QStringLiteral("uninsneveruninstall"),
        QStringLiteral("uninsnosharedfileprompt"),
        QStringLiteral("uninsremovereadonly"),
        QStringLiteral("uninsrestartdelete"),
        QStringLiteral("unsetntfscompression"),
    };
    return flags;
}

} // namespace qm::filelist
