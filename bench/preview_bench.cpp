// Speed and memory of the label preview: a job of N labels as the driver makes it (printer-font
// text, Code 128 barcode with its readable line, line, box and a 40 x 10 mm text in a chosen font
// sent as a raster graphic), drawn by the EPL2 renderer from 64 KiB pieces, as "pirell render"
// reads a file. Writing the pictures is not included.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "languages/epl2/epl2_printer.h"
#include "languages/epl2/epl2_renderer.h"
#include "platform/locale.h"
#include "rendering/printer_registry.h"

namespace pirell {
namespace {

constexpr char kTemplate[] =
    "<Label Width=\"58\" Height=\"40\">"
    "<Item ClassName=\"TextSimple\"><Property Name=\"DS\" Value=\"Name\"/>"
    "<Property Name=\"Left\" Value=\"3\"/><Property Name=\"Top\" Value=\"2\"/>"
    "<Property Name=\"FontSize\" Value=\"3\"/><Property Name=\"MaxSymbols\" Value=\"24\"/></Item>"
    "<Item ClassName=\"Shk\"><Property Name=\"DS\" Value=\"Barcode\"/>"
    "<Property Name=\"BarCodeType\" Value=\"CODE128\"/><Property Name=\"TextVisible\" "
    "Value=\"True\"/><Property Name=\"Left\" Value=\"3\"/><Property Name=\"Top\" Value=\"20\"/>"
    "<Property Name=\"Height\" Value=\"14\"/></Item>"
    "<Item ClassName=\"Line\"><Property Name=\"LineLeft\" Value=\"3\"/>"
    "<Property Name=\"LineTop\" Value=\"18\"/><Property Name=\"LineLength\" Value=\"52\"/>"
    "<Property Name=\"PenWidth\" Value=\"0.3\"/></Item>"
    "<Item ClassName=\"Rectangle\"><Property Name=\"Left\" Value=\"1\"/>"
    "<Property Name=\"Top\" Value=\"1\"/><Property Name=\"Width\" Value=\"56\"/>"
    "<Property Name=\"Height\" Value=\"38\"/><Property Name=\"PenWidth\" Value=\"0.3\"/></Item>"
    "<Item ClassName=\"TextGraphic\"><Property Name=\"DS\" Value=\"Description\"/>"
    "<Property Name=\"Left\" Value=\"3\"/><Property Name=\"Top\" Value=\"7\"/>"
    "<Property Name=\"Width\" Value=\"40\"/><Property Name=\"Height\" Value=\"10\"/>"
    "<Property Name=\"Font.Size\" Value=\"9\"/></Item></Label>";

std::string Job(int labels) {
  platform::LocaleFormat format;
  format.decimal_separator = ".";
  platform::ScopedUserLocale locale(format);
  std::unique_ptr<TPrinterTypeBase> printer = CreatePrinterOfModel(0);
  printer->PrintParams() = TPrintParams{58, 40, 2, pmDirect, 7, 4};
  printer->LabelObj().LoadFromString(kTemplate);
  printer->InitTask();
  for (int i = 0; i < labels; ++i) {
    const std::string number = std::to_string(100000 + i);
    printer->InitLabel();
    printer->ValuesList().Add("Name", "Товар №" + number);
    printer->ValuesList().Add("Barcode", "4601234" + number);
    printer->ValuesList().Add("Description", "Описание товара " + number + ", 400 г");
    printer->MakeLabelScript(1);
  }
  std::string job;
  for (const TPrinterCmd& cmd : printer->CmdList()) job += cmd.Data + printer->CmdSuffix();
  return job;
}

struct CountingSink : preview::RenderSink {
  void OnLabel(const MonoBitmap& picture, std::uint64_t) override {
    ++labels;
    benchmark::DoNotOptimize(picture.Row(0));
  }
  void OnWarning(std::uint64_t, const std::string&) override { ++warnings; }
  std::uint64_t labels = 0;
  std::uint64_t warnings = 0;
};

void BM_RenderJob(benchmark::State& state) {
  const int labels = static_cast<int>(state.range(0));
  const std::string job = Job(labels);
  constexpr std::size_t kPiece = 64 * 1024;
  std::size_t most_held = 0;
  for (auto _ : state) {
    CountingSink sink;
    preview::Epl2Renderer renderer(sink);
    for (std::size_t at = 0; at < job.size(); at += kPiece) {
      renderer.Feed(std::string_view(job).substr(at, kPiece));
      most_held = std::max(most_held, renderer.HeldBytes());
    }
    renderer.Finish();
    if (sink.labels != static_cast<std::uint64_t>(labels) || sink.warnings != 0)
      state.SkipWithError("the job did not render cleanly");
  }
  state.counters["labels_per_s"] = benchmark::Counter(
      static_cast<double>(labels), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["job_bytes"] = static_cast<double>(job.size());
  state.counters["held_bytes"] = static_cast<double>(most_held);
}
BENCHMARK(BM_RenderJob)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pirell
