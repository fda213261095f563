// Builds a fuzz target without libFuzzer (any compiler): runs it once on every file named on
// the command line, folders read recursively. The suite replays the seeds and every input that
// ever broke a target this way.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Replay(const std::filesystem::path& path, int& count) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    // Never a null pointer, as libFuzzer gives none either, even for an empty input.
    static const std::uint8_t kEmpty = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kEmpty
                                         : reinterpret_cast<const std::uint8_t*>(bytes.data()),
                           bytes.size());
    ++count;
}

} // namespace

int main(int argc, char** argv) {
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (!std::filesystem::is_directory(path)) {
            Replay(path, count);
            continue;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
            if (entry.is_regular_file())
                Replay(entry.path(), count);
    }
    std::printf("%d inputs replayed\n", count);
    return count > 0 ? 0 : 1;
}
