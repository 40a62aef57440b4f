// Speed and size of TSPL jobs: one print request of N labels of the reference template (as in
// epl2_bench.cpp), each label with its own values, made by the TSPL generator at 203 dpi.

#include <cstdint>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "platform/locale.h"
#include "reference_label.h"
#include "rendering/printer_registry.h"

namespace pirell {
namespace {

std::int64_t WireBytes(const TPrinterTypeBase& printer) {
  std::int64_t bytes = 0;
  for (const TPrinterCmd& cmd : printer.CmdList())
    bytes += static_cast<std::int64_t>(cmd.Data.size() + printer.CmdSuffix().size());
  return bytes;
}

std::unique_ptr<TPrinterTypeBase> TsplPrinter() {
  const TPrinterModels& models = PrinterModels();
  for (std::size_t i = 0; i < models.size(); ++i)
    if (models[i].Name == "TSPL, 203 dpi") return CreatePrinterOfModel(static_cast<int>(i));
  return nullptr;
}

void BM_TsplLabelCommands(benchmark::State& state) {
  const int labels = static_cast<int>(state.range(0));
  platform::LocaleFormat format;
  format.decimal_separator = ".";
  platform::ScopedUserLocale locale(format);
  std::unique_ptr<TPrinterTypeBase> printer = TsplPrinter();
  if (!printer) {
    state.SkipWithError("no TSPL model");
    return;
  }
  printer->PrintParams() = TPrintParams{58, 40, 2, pmDirect, 8, 4};
  printer->LabelObj().LoadFromString(bench::ReferenceTemplate(state.range(1) != 0));

  std::int64_t bytes = 0;
  std::string number;
  for (auto _ : state) {
    printer->InitTask();
    bytes = WireBytes(*printer);
    for (int i = 0; i < labels; ++i) {
      number = std::to_string(100000 + i);
      printer->CmdList().Clear();
      printer->InitLabel();
      printer->ValuesList().Add("Name", "Товар №" + number);
      printer->ValuesList().Add("Barcode", "4601234" + number);
      printer->ValuesList().Add("Description", "Описание товара " + number + ", 400 г");
      printer->MakeLabelScript(1);
      bytes += WireBytes(*printer);
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["labels_per_s"] = benchmark::Counter(
      static_cast<double>(labels), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["bytes_per_label"] = static_cast<double>(bytes) / labels;
}

BENCHMARK(BM_TsplLabelCommands)
    ->ArgNames({"labels", "bitmaps"})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pirell
