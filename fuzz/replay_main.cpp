// Runs fuzz targets over their corpus folders without a fuzzing engine, so that every build
// (also one without libFuzzer) checks the corpus: pirell_fuzz_replay TARGET FOLDER.
// Each target's entry point is compiled under the name PirellFuzz_TARGET.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#define PIRELL_FUZZ_TARGET(name) \
  extern "C" int PirellFuzz_##name(const std::uint8_t* data, std::size_t size);
#include "fuzz_targets.inc"
#undef PIRELL_FUZZ_TARGET

namespace {

using Target = int (*)(const std::uint8_t*, std::size_t);

struct NamedTarget {
  const char* name;
  Target target;
};

constexpr NamedTarget kTargets[] = {
#define PIRELL_FUZZ_TARGET(name) {#name, &PirellFuzz_##name},
#include "fuzz_targets.inc"
#undef PIRELL_FUZZ_TARGET
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s TARGET CORPUS_FOLDER\n", argv[0]);
    return 2;
  }
  const auto found =
      std::find_if(std::begin(kTargets), std::end(kTargets),
                   [&](const NamedTarget& t) { return std::strcmp(t.name, argv[1]) == 0; });
  if (found == std::end(kTargets)) {
    std::fprintf(stderr, "unknown fuzz target %s\n", argv[1]);
    return 2;
  }
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(argv[2], error))
    if (entry.is_regular_file()) files.push_back(entry.path());
  if (error || files.empty()) {
    std::fprintf(stderr, "no corpus files in %s\n", argv[2]);
    return 1;
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    const std::string bytes = ReadFile(file);
    std::printf("%s: %s (%zu bytes)\n", argv[1], file.filename().string().c_str(), bytes.size());
    std::fflush(stdout);
    // A heap block of exactly the input's size, as libFuzzer hands it over: a string's spare
    // capacity would hide a read past the end from the sanitizers.
    const auto input = std::make_unique_for_overwrite<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), input.get());
    found->target(input.get(), bytes.size());
  }
  std::printf("%s: %zu inputs replayed\n", argv[1], files.size());
  return 0;
}
