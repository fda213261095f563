#include "platform/VersionInfo.h"

#include "platform/CodePage.h"
#include "platform/VersionBlock.h"

#include <fstream>
#include <unistd.h>

namespace qm::platform {

namespace {

// Version data sits in the resources of an executable; a file larger than this is no program
// this reader is meant for.
constexpr std::uint64_t kLargestFile = 1ull << 30;

std::vector<std::uint8_t> ReadFile(std::u16string_view fileName) {
    std::ifstream in(EncodeUtf8(fileName), std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    const std::streamoff size = in.tellg();
    if (size <= 0 || static_cast<std::uint64_t>(size) > kLargestFile)
        return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
        return {};
    return bytes;
}

} // namespace

std::vector<std::uint8_t> LoadFileVersionInfo(std::u16string_view fileName) {
    const std::vector<std::uint8_t> file = ReadFile(fileName);
    std::vector<std::uint8_t> block = ExtractPeVersionBlock(file);
    if (block.empty())
        block = ExtractElfVersionBlock(file);
    return block;
}

bool QueryFileVersionInfo(const std::vector<std::uint8_t>& info, std::u16string_view subBlock,
                          const std::uint8_t*& value, std::uint32_t& length) {
    return QueryVersionBlock(info, subBlock, value, length);
}

std::u16string OwnExecutablePath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? DecodeUtf8(std::string_view(path, static_cast<std::size_t>(length)))
                      : std::u16string();
}

} // namespace qm::platform
