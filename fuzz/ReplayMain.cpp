// Runs a fuzz target without a fuzzing engine: over the files named on the
// command line (a directory stands for the files in it), then over a fixed
// number of deterministic random inputs. Built under the sanitizers, it
// catches memory errors and undefined behaviour in every test run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// Replays one file; false when it cannot be read.
bool ReplayFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

// Number of files replayed from `path`, or -1 when one could not be read.
int ReplayPath(const fs::path& path)
{
    if (!fs::is_directory(path))
        return ReplayFile(path) ? 1 : -1;
    int count = 0;
    for (const auto& entry : fs::directory_iterator(path)) {
        if (!entry.is_regular_file())
            continue;
        if (!ReplayFile(entry.path()))
            return -1;
        ++count;
    }
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const int count = ReplayPath(argv[i]);
        // An empty or missing corpus would let the test pass without testing it.
        if (count <= 0) {
            std::fprintf(stderr, "no inputs in %s\n", argv[i]);
            return 1;
        }
        files += count;
    }
    std::mt19937 random(20261209);
    constexpr int kRuns = 20000;
    for (int run = 0; run < kRuns; ++run) {
        std::vector<std::uint8_t> bytes(random() % 300);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%d corpus files and %d random inputs replayed\n", files, kRuns);
    return 0;
}
