// Speed and memory of turning labels into printer commands: one print request of N labels of a
// reference template (printer-font text, Code 128 barcode, line, box, and optionally a 40 x 10 mm
// text in a chosen font and a 20 x 20 mm picture), each label with its own values, by the
// generator of a printer model: EPL2 (model 0), ZPL II (2) and TSPL (5), all at 203 dpi.
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

void BM_LabelCommands(benchmark::State& state) {
  const int labels = static_cast<int>(state.range(0));
  const bool with_bitmaps = state.range(1) != 0;
  const int model = static_cast<int>(state.range(2));
  platform::LocaleFormat format;
  format.decimal_separator = ".";
  platform::ScopedUserLocale locale(format);

  std::unique_ptr<TPrinterTypeBase> printer = CreatePrinterOfModel(model);
  if (!printer) {
    state.SkipWithError("no such printer model");
    return;
  }
  state.SetLabel(PrinterModels()[static_cast<std::size_t>(model)].Name);
  printer->PrintParams() = TPrintParams{58, 40, 2, pmDirect, printer->ModelProps().DefDarkness, 4};
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

BENCHMARK(BM_LabelCommands)
    ->ArgNames({"labels", "bitmaps", "model"})
    ->ArgsProduct({{1000, 10000}, {0, 1}, {0, 2, 5}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pirell
