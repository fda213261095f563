// Zip archives of any shape, as a portable build's download may be: reading one ends in an
// answer, and an archive of the input's lines as names is refused exactly when one of them
// would leave the folder.

#include "FuzzSupport.h"
#include "ZipWriter.h"
#include "update/UpdateArchive.h"

#include <QList>

using namespace qm::fuzzing;
using qm::testing::TZipEntry;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    static_cast<void>(qm::update::SafeToUnpack(WriteScratchFile(input)));

    QList<TZipEntry> entries;
    bool leaves = false;
    for (const QByteArray& name : input.split('\n')) {
        entries.append({name, {}, {}});
        leaves = leaves || qm::update::LeavesFolder(QString::fromUtf8(name));
    }
    const QByteArray archive = qm::testing::StoredZip(entries);
    Require(qm::update::SafeToUnpack(WriteScratchFile(archive)) == !leaves,
            "an archive is refused exactly when a name leaves the folder",
            QString::fromUtf8(input));
    return 0;
}
