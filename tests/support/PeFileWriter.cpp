#include "PeFileWriter.h"

namespace qm::testing {

namespace {

void Put(std::vector<std::uint8_t>& out, std::size_t at, std::uint64_t value, int width) {
    if (out.size() < at + width)
        out.resize(at + width, 0);
    for (int i = 0; i < width; ++i)
        out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

std::vector<std::uint8_t> PeFileWithVersionBlock(const std::vector<std::uint8_t>& block,
                                                 bool pe32Plus) {
    constexpr std::size_t kPe = 0x40;
    constexpr std::uint32_t kSectionRva = 0x1000;
    constexpr std::size_t kSectionFile = 0x200;
    const std::size_t optionalSize = pe32Plus ? 240 : 224;
    const std::size_t optional = kPe + 24;

    std::vector<std::uint8_t> out(kSectionFile, 0);
    Put(out, 0, 0x5A4D, 2); // "MZ"
    Put(out, 0x3C, kPe, 4);
    Put(out, kPe, 0x00004550, 4); // "PE\0\0"
    Put(out, kPe + 4, pe32Plus ? 0x8664 : 0x014C, 2);
    Put(out, kPe + 6, 1, 2); // one section
    Put(out, kPe + 20, optionalSize, 2);
    Put(out, kPe + 22, 0x0022, 2);
    Put(out, optional, pe32Plus ? 0x20B : 0x10B, 2);
    const std::size_t directories = optional + (pe32Plus ? 112 : 96);
    Put(out, directories - 4, 16, 4); // NumberOfRvaAndSizes

    // The resource tree: type -> name -> language -> data entry -> block.
    std::vector<std::uint8_t> rsrc;
    const auto directory = [&](std::size_t at, std::uint32_t id, std::uint32_t target) {
        Put(rsrc, at + 14, 1, 2); // one id entry
        Put(rsrc, at + 16, id, 4);
        Put(rsrc, at + 20, target, 4);
    };
    // The root has two entries: RT_ICON (3) first, then RT_VERSION (16).
    Put(rsrc, 14, 2, 2);
    Put(rsrc, 16, 3, 4);
    Put(rsrc, 20, 0x80000000u | 0x20, 4);
    Put(rsrc, 24, 16, 4);
    Put(rsrc, 28, 0x80000000u | 0x20, 4);
    directory(0x20, 1, 0x80000000u | 0x38);
    directory(0x38, 0x0409, 0x50);
    Put(rsrc, 0x50, kSectionRva + 0x60, 4);
    Put(rsrc, 0x54, block.size(), 4);
    rsrc.resize(0x60, 0);
    rsrc.insert(rsrc.end(), block.begin(), block.end());
    const std::size_t rawSize = (rsrc.size() + 0x1FF) & ~std::size_t{0x1FF};
    rsrc.resize(rawSize, 0);

    Put(out, directories + 16, kSectionRva, 4); // the resource directory
    Put(out, directories + 20, rsrc.size(), 4);
    const std::size_t section = optional + optionalSize;
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        out[section + i] = static_cast<std::uint8_t>(name[i]);
    Put(out, section + 8, rsrc.size(), 4);
    Put(out, section + 12, kSectionRva, 4);
    Put(out, section + 16, rawSize, 4);
    Put(out, section + 20, kSectionFile, 4);
    Put(out, section + 36, 0x40000040, 4); // initialised data, readable
    out.insert(out.end(), rsrc.begin(), rsrc.end());
    return out;
}

} // namespace qm::testing
