// Replays saved inputs through a fuzz target without libFuzzer, so that the
// normal build runs every regression input and seed as a test.
//
//   <target>_replay PATH...
// Each PATH is a file or a folder (searched recursively, files in name
// order). Every file is one input. Exits 0 when all ran (a broken invariant
// or a fault aborts the program), 1 when a path does not exist or cannot be
// read, 2 without paths.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool ReadFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The files a path names, in a fixed order; false when it does not exist.
bool CollectInputs(const std::filesystem::path& path, std::vector<std::filesystem::path>* inputs)
{
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
        inputs->push_back(path);
        return true;
    }
    if (!std::filesystem::is_directory(path, error)) return false;
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, error)) {
        if (entry.is_regular_file(error)) found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    inputs->insert(inputs->end(), found.begin(), found.end());
    return !error;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!CollectInputs(argv[i], &inputs)) {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 1;
        }
    }
    std::vector<uint8_t> bytes;
    for (const auto& input : inputs) {
        if (!ReadFile(input, &bytes)) {
            std::fprintf(stderr, "%s: cannot be read\n", input.c_str());
            return 1;
        }
        std::fprintf(stderr, "replaying %s (%zu bytes)\n", input.c_str(), bytes.size());
        // A copy of exactly the input's size, so that reading past its end
        // shows under AddressSanitizer as it would under libFuzzer.
        std::vector<uint8_t> exact(bytes);
        LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
