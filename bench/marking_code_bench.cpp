// A print job of price tags of marked products, each label with a marking code of its own as a
// GS1 DataMatrix (bench/reference_label.h): labels per second of wall and of processor time from
// the driver's call to the last byte at the port, and the bytes each label sends.
//
//   build/native/pirell_bench --benchmark_filter=MarkingCode

#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "label_printer/driver.h"
#include "platform/locale.h"
#include "reference_label.h"
#include "support/host_call_catalog.h"

namespace pirell {
namespace {

Variant MarkedLabels(int labels) {
  VariantArray rows = VariantArray::Table(4, labels);
  for (int i = 0; i < labels; ++i) {
    rows.At({0, i}) = Variant("Молоко 3,2% №" + std::to_string(i));
    rows.At({1, i}) = Variant("89.90");
    rows.At({2, i}) = Variant("4601234567893");
    rows.At({3, i}) = Variant(bench::MarkingCode(i));
  }
  return Variant(
      VariantArray::Vector({Variant(VariantArray::Table(2, 0)),
                            Variant(VariantArray::Vector({Variant("Name"), Variant("Price"),
                                                          Variant("Barcode"), Variant("Code")})),
                            Variant(std::move(rows))}));
}

void HostCall(LateBoundObject& driver, const char* method, bool is_private,
              std::vector<Variant> params, Variant in_data = Variant()) {
  testing::HostCallCase call;
  call.method = method;
  call.is_private = is_private;
  call.params = std::move(params);
  call.in_data = std::move(in_data);
  testing::RunHostCall(driver, call);
}

void BM_MarkingCodePriceTags(benchmark::State& state) {
  const int labels = static_cast<int>(state.range(0));
  platform::LocaleFormat format;
  format.decimal_separator = ".";
  platform::ScopedUserLocale locale(format);
  const std::filesystem::path devices =
      std::filesystem::temp_directory_path() / ("pirell-marking-" + std::to_string(::getpid()));
  std::filesystem::create_directories(devices / "LP1");
  testing::NullDeviceIo printer;
  auto host = std::make_shared<testing::QuietEquipmentManager>(devices.string());
  auto driver = CreateObject<TDriver>(printer);
  HostCall(*driver, "Init", true, {Variant::Dispatch(host), Variant()});
  HostCall(*driver, "Open", true, {Variant::OleStr("LP1"), Variant()});
  HostCall(*driver, "UploadTemplate", false, {},
           Variant(VariantArray::Vector(
               {Variant(1), Variant("bench"), Variant(bench::MarkingCodeTemplate())})));
  HostCall(*driver, "Enable", false, {});
  const Variant data = MarkedLabels(labels);

  double seconds = 0;
  double cpu_seconds = 0;
  for (auto _ : state) {
    printer.bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu_start = std::clock();
    std::string description;
    const ResultCode code = driver->PrintLabels(1, data, description);
    cpu_seconds += static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (code != rc::Ok) {
      state.SkipWithError(("PrintLabels: " + std::to_string(code) + " " + description).c_str());
      break;
    }
  }
  HostCall(*driver, "Disable", false, {});
  std::filesystem::remove_all(devices);
  const double printed = static_cast<double>(labels) * static_cast<double>(state.iterations());
  if (seconds > 0) state.counters["labels_per_s"] = printed / seconds;
  // Processor time: what the job costs whatever else the machine is doing.
  if (cpu_seconds > 0) state.counters["labels_per_cpu_s"] = printed / cpu_seconds;
  state.counters["bytes_per_label"] = static_cast<double>(printer.bytes) / labels;
}
BENCHMARK(BM_MarkingCodePriceTags)
    ->ArgNames({"labels"})
    ->Arg(1000)
    ->Arg(20000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace pirell
