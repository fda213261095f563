// Version resources of any bytes, as a PE file, as an ELF file and as a bare VS_VERSIONINFO
// block: the reader never crashes and every value it finds lies wholly inside the block.

#include "FuzzSupport.h"
#include "platform/VersionBlock.h"
#include "platform/VersionInfo.h"

#include <QString>

using namespace qm::fuzzing;

namespace {

void Query(const std::vector<std::uint8_t>& block) {
    if (block.empty())
        return;
    const std::u16string key = qm::platform::VersionBlockKey(block);
    const std::u16string strings = u"\\StringFileInfo\\" + key + u'\\';
    for (const std::u16string& path :
         {std::u16string(u"\\"), std::u16string(u"\\VarFileInfo\\Translation"),
          strings + u"CompanyName", strings + u"FileVersion", strings + u"LegalCopyright",
          std::u16string(u"\\StringFileInfo"), std::u16string(u"\\StringFileInfo\\") + key}) {
        const std::uint8_t* value = nullptr;
        std::uint32_t length = 0;
        if (!qm::platform::QueryVersionBlock(block, path, value, length))
            continue;
        const std::size_t bytes =
            path.starts_with(strings) ? 2 * std::size_t{length} : std::size_t{length};
        Require(value >= block.data() && bytes <= block.size() &&
                    value + bytes <= block.data() + block.size(),
                "a value lies inside its block", QString::fromStdU16String(path));
    }
    qm::platform::VersionString(block, u"ProductName");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    Query(qm::platform::ExtractPeVersionBlock(file));
    Query(qm::platform::ExtractElfVersionBlock(file));
    Query(std::vector<std::uint8_t>(data, data + size));
    return 0;
}
