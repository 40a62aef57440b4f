// The driver as the host sees it: one "PrintLabels" call of N labels, from the host's call by
// name to the last byte in the capture file (one opening of the port per call), and the cost of
// a cheap host call ("GetDeviceInfo").

#include <stdlib.h>
#include <sys/stat.h>

#include <string>

#include <benchmark/benchmark.h>

#include "host_cli/host_session.h"

namespace {

using pirell::Variant;
using pirell::VariantArray;

std::string TemplateText(bool with_bitmaps) {
  auto item = [](const char* cls, std::initializer_list<std::pair<const char*, const char*>> p) {
    std::string text = std::string("<Item ClassName=\"") + cls + "\">";
    for (const auto& [name, value] : p)
      text += std::string("<Property Name=\"") + name + "\" Value=\"" + value + "\"/>";
    return text + "</Item>";
  };
  std::string xml = "<Label Width=\"58\" Height=\"40\">";
  xml += item("TextSimple", {{"DS", "Name"},
                             {"Left", "2"},
                             {"Top", "2"},
                             {"Width", "50"},
                             {"Height", "4"},
                             {"FontSize", "3"},
                             {"MaxSymbols", "30"}});
  xml += item("Shk", {{"DS", "Barcode"},
                      {"BarCodeType", "CODE128"},
                      {"TextVisible", "True"},
                      {"Left", "2"},
                      {"Top", "20"},
                      {"Height", "12"}});
  xml += item("Line",
              {{"LineLeft", "2"}, {"LineTop", "18"}, {"LineLength", "54"}, {"PenWidth", "0.3"}});
  xml +=
      item("Rectangle",
           {{"Left", "1"}, {"Top", "1"}, {"Width", "56"}, {"Height", "38"}, {"PenWidth", "0.3"}});
  if (with_bitmaps) {
    xml += item("TextGraphic", {{"DS", "Description"},
                                {"Left", "2"},
                                {"Top", "7"},
                                {"Width", "40"},
                                {"Height", "10"},
                                {"Font.Size", "9"}});
  }
  return xml + "</Label>";
}

Variant LabelsData(int labels, bool with_bitmaps) {
  const int columns = with_bitmaps ? 3 : 2;
  VariantArray names = VariantArray::Vector({Variant("Name"), Variant("Barcode")});
  if (with_bitmaps)
    names = VariantArray::Vector({Variant("Name"), Variant("Barcode"), Variant("Description")});
  VariantArray rows = VariantArray::Table(columns, labels);
  for (int i = 0; i < labels; ++i) {
    rows.At({0, i}) = Variant("Товар №" + std::to_string(i));
    rows.At({1, i}) = Variant(std::to_string(4600000000000LL + i));
    if (with_bitmaps) rows.At({2, i}) = Variant("Описание товара " + std::to_string(i));
  }
  return Variant(VariantArray::Vector(
      {Variant(VariantArray::Table(2, 0)), Variant(std::move(names)), Variant(std::move(rows))}));
}

std::string TempFolder() {
  char pattern[] = "/tmp/pirell-bench-XXXXXX";
  const char* folder = mkdtemp(pattern);
  return folder ? std::string(folder) + "/device" : std::string("pirell-bench-device");
}

void BM_PrintLabelsEndToEnd(benchmark::State& state) {
  const int labels = static_cast<int>(state.range(0));
  const bool with_bitmaps = state.range(1) != 0;
  pirell::cli::HostSession session(TempFolder(), false);
  session.Call("UploadTemplate",
               Variant(VariantArray::Vector(
                   {Variant(1), Variant("bench"), Variant(TemplateText(with_bitmaps))})));
  if (!session.Call("Enable", Variant()).ok) state.SkipWithError("Enable failed");
  const Variant in_data(VariantArray::Vector({Variant(1), LabelsData(labels, with_bitmaps)}));
  for (auto _ : state) {
    const pirell::cli::CallResult result = session.Call("PrintLabels", in_data);
    if (!result.ok) state.SkipWithError(result.message.c_str());
  }
  struct stat st {};
  stat(session.CapturePath().c_str(), &st);
  state.SetItemsProcessed(state.iterations() * labels);
  state.counters["bytes_per_label"] = static_cast<double>(st.st_size) / labels;
  session.Call("Disable", Variant());
}
BENCHMARK(BM_PrintLabelsEndToEnd)
    ->UseRealTime()
    ->ArgsProduct({{1000, 10000}, {0, 1}})
    ->ArgNames({"labels", "bitmaps"})
    ->Unit(benchmark::kMillisecond);

void BM_CheapHostCall(benchmark::State& state) {
  pirell::cli::HostSession session(TempFolder(), false);
  for (auto _ : state) {
    const pirell::cli::CallResult result = session.Call("GetDeviceInfo", Variant());
    benchmark::DoNotOptimize(result.ok);
  }
}
BENCHMARK(BM_CheapHostCall)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
