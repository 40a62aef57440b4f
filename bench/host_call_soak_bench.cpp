// Memory and descriptors over a long run of host calls: every host method of the driver, with
// valid and invalid arguments, in whole sessions (Init ... Close) repeated until N calls are made
// on one driver object. The figures are the heap in use, the resident set and the open file
// descriptors after a warm-up tenth of the calls and at the end; a leak shows as growth that
// scales with N. Built in the sanitized tree too, where LeakSanitizer also checks at exit that
// nothing is left unfreed:
//   cmake --build build/asan --target pirell_bench && build/asan/pirell_bench
//   --benchmark_filter=Soak

#include <dirent.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's count of bytes held by live allocations (GCC ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "label_printer/driver.h"
#include "platform/time_source.h"
#include "settings_ui/settings_window_runner.h"
#include "support/fake_time_source.h"
#include "support/host_call_catalog.h"

namespace {

using pirell::testing::HostCallExpect;

double HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return static_cast<double>(__sanitizer_get_current_allocated_bytes());
#else
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd);
#endif
}

double ResidentBytes() {
  long pages_total = 0;
  long pages_resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  if (std::fscanf(statm, "%ld %ld", &pages_total, &pages_resident) != 2) pages_resident = 0;
  std::fclose(statm);
  return static_cast<double>(pages_resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

double OpenDescriptors() {
  int count = 0;
  DIR* folder = opendir("/proc/self/fd");
  if (folder == nullptr) return 0;
  while (readdir(folder) != nullptr) ++count;
  closedir(folder);
  return count - 3;  // ".", ".." and the descriptor of the listing itself
}

std::string TempFolder() {
  char pattern[] = "/tmp/pirell-soak-XXXXXX";
  const char* folder = mkdtemp(pattern);
  return folder ? std::string(folder) : std::string("pirell-soak");
}

void BM_HostCallSoak(benchmark::State& state) {
  const std::int64_t total_calls = state.range(0);
  const std::string devices = TempFolder();
  std::filesystem::create_directories(devices + "/LP1");
  // The printer's pauses pass on a fake clock instead of real time.
  pirell::testing::FakeTimeSource clock;
  pirell::platform::ScopedTimeSource clock_scope(clock);
  pirell::testing::NullDeviceIo printer;
  // "ShowSettingsDlg" is answered as a settings window closed without OK, without a window.
  pirell::ScopedSettingsWindowRunner no_window(
      [](pirell::TBaseDevice&, const pirell::TPageClasses&) { return false; });

  for (auto _ : state) {
    auto host = std::make_shared<pirell::testing::QuietEquipmentManager>(devices);
    auto driver = pirell::CreateObject<pirell::TDriver>(printer);
    const auto calls = pirell::testing::EveryHostCall(host, "LP1");
    std::int64_t made = 0;
    std::int64_t unexpected = 0;
    double heap_warm = 0;
    double resident_warm = 0;
    double descriptors_warm = 0;
    while (made < total_calls) {
      for (const auto& call : calls) {
        std::string why;
        if (!RunHostCall(*driver, call).AsExpected(call.expect, why)) ++unexpected;
        if (++made == total_calls / 10) {
          heap_warm = HeapInUse();
          resident_warm = ResidentBytes();
          descriptors_warm = OpenDescriptors();
        }
        if (made == total_calls) break;
      }
    }
    state.counters["calls"] = static_cast<double>(made);
    state.counters["unexpected"] = static_cast<double>(unexpected);
    state.counters["heap_warm"] = heap_warm;
    state.counters["heap_growth"] = HeapInUse() - heap_warm;
    state.counters["rss_warm"] = resident_warm;
    state.counters["rss_growth"] = ResidentBytes() - resident_warm;
    state.counters["fds_growth"] = OpenDescriptors() - descriptors_warm;
    state.counters["printed_bytes"] = static_cast<double>(printer.bytes);
  }
  std::filesystem::remove_all(devices);
}
BENCHMARK(BM_HostCallSoak)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
