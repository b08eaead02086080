// Replays a fuzz target's kept corpus: every plain file of the folders (or the
// files) named on the command line goes through LLVMFuzzerTestOneInput once.
// A crash or a sanitizer report fails the run; an empty corpus fails too, so a
// misplaced folder cannot pass unnoticed.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace
{

constexpr std::uintmax_t kLargestInput = 16 * 1024 * 1024;

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path &path)
{
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_regular_file(path)) {
        inputs.push_back(path);
    } else if (std::filesystem::is_directory(path)) {
        for (const auto &entry : std::filesystem::recursive_directory_iterator(path))
            if (entry.is_regular_file() && entry.file_size() <= kLargestInput)
                inputs.push_back(entry.path());
    }
    return inputs;
}

bool replay(const std::filesystem::path &input)
{
    std::ifstream file(input, std::ios::binary);
    if (!file)
        return false;
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(file),
                                    std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(data.data(), data.size());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const std::filesystem::path &input : inputsOf(argv[i])) {
            if (!replay(input)) {
                std::fprintf(stderr, "cannot read %s\n", input.c_str());
                return 1;
            }
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
