// Speed and memory of turning labels into ZPL II commands, as epl2_bench.cpp measures EPL2: one
// print request of N labels of the reference template at 203 dpi, each label with its own values.
// Its printer-font text is Cyrillic, which ZPL II sends as a graphic field.
//
// Memory is measured with a counting allocator (global operator new/delete in this program):
// "peak_bytes" is the highest number of bytes held by live allocations during one request,
// above what was held when it started. As the driver does, the commands of each label are
// counted and dropped before the next label is made.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "counting_allocator.h"
#include "platform/locale.h"
#include "reference_label.h"
#include "rendering/printer_registry.h"

namespace pirell {
namespace {

// The bytes the commands of the list take on the wire.
std::int64_t WireBytes(const TPrinterTypeBase& printer) {
  std::int64_t bytes = 0;
  for (const TPrinterCmd& cmd : printer.CmdList())
    bytes += static_cast<std::int64_t>(cmd.Data.size() + printer.CmdSuffix().size());
  return bytes;
}

// One print request of `labels` labels, as the driver makes it; returns the bytes of the job.
std::int64_t PrintRequest(TPrinterTypeBase& printer, const std::string& xml, int labels) {
  printer.LabelObj().LoadFromString(xml);
  printer.InitTask();
  std::int64_t bytes = WireBytes(printer);
  std::string number;
  for (int i = 0; i < labels; ++i) {
    number = std::to_string(100000 + i);
    printer.CmdList().Clear();
    printer.InitLabel();
    printer.ValuesList().Add("Name", "Товар №" + number);
    printer.ValuesList().Add("Barcode", "4601234" + number);
    printer.ValuesList().Add("Description", "Описание товара " + number + ", 400 г");
    printer.MakeLabelScript(1);
    bytes += WireBytes(printer);
  }
  return bytes;
}

void BM_ZplLabelCommands(benchmark::State& state) {
  const int labels = static_cast<int>(state.range(0));
  const bool with_bitmaps = state.range(1) != 0;
  platform::LocaleFormat format;
  format.decimal_separator = ".";
  platform::ScopedUserLocale locale(format);

  int model = 0;
  while (model < static_cast<int>(PrinterModels().size()) &&
         PrinterModels()[static_cast<std::size_t>(model)].Name != "ZPL II, 203 dpi")
    ++model;
  std::unique_ptr<TPrinterTypeBase> printer = CreatePrinterOfModel(model);
  if (!printer) {
    state.SkipWithError("no ZPL II model");
    return;
  }
  printer->PrintParams() = TPrintParams{58, 40, 2, pmDirect, 15, 4};
  const std::string xml = bench::ReferenceTemplate(with_bitmaps);

  std::int64_t peak = 0;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    // The previous request's commands are released outside the measurement.
    state.PauseTiming();
    printer->CmdList() = TCmdList();
    state.ResumeTiming();
    const std::int64_t before = bench::LiveBytes();
    bench::ResetPeak();
    bytes = PrintRequest(*printer, xml, labels);
    peak = std::max(peak, bench::PeakBytes() - before);
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * labels);
  state.counters["labels_per_s"] = benchmark::Counter(
      static_cast<double>(labels), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["bytes_per_label"] = static_cast<double>(bytes) / labels;
  state.counters["peak_bytes"] = static_cast<double>(peak);
}

BENCHMARK(BM_ZplLabelCommands)
    ->ArgNames({"labels", "bitmaps"})
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pirell
