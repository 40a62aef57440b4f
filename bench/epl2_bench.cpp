// Speed and memory of turning labels into EPL2 commands: one print request of N labels of a
// reference template (printer-font text, Code 128 barcode, line, box, and optionally a 40 x 10 mm
// text in a chosen font and a 20 x 20 mm picture), each label with its own values.
//
// Memory is measured with a counting allocator (global operator new/delete in this program):
// "peak_bytes" is the highest number of bytes held by live allocations during one request,
// above what was held when it started; it includes the command list of the whole request.

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include <benchmark/benchmark.h>

#include "platform/locale.h"
#include "rendering/epl2_printer.h"
#include "rendering/printer_registry.h"

namespace {

std::atomic<std::int64_t> g_live_bytes{0};
std::atomic<std::int64_t> g_peak_bytes{0};

void* CountedAlloc(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  const std::int64_t live =
      g_live_bytes.fetch_add(static_cast<std::int64_t>(malloc_usable_size(p))) +
      static_cast<std::int64_t>(malloc_usable_size(p));
  std::int64_t peak = g_peak_bytes.load();
  while (live > peak && !g_peak_bytes.compare_exchange_weak(peak, live)) {
  }
  return p;
}

void CountedFree(void* p) {
  if (p == nullptr) return;
  g_live_bytes.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(p)));
  std::free(p);
}

}  // namespace

void* operator new(std::size_t size) {
  return CountedAlloc(size);
}
void* operator new[](std::size_t size) {
  return CountedAlloc(size);
}
void operator delete(void* p) noexcept {
  CountedFree(p);
}
void operator delete[](void* p) noexcept {
  CountedFree(p);
}
void operator delete(void* p, std::size_t) noexcept {
  CountedFree(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  CountedFree(p);
}

namespace pirell {
namespace {

std::string Base64(const std::string& bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (i + 1 == bytes.size()) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += "==";
  } else if (i + 2 == bytes.size()) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 120 x 100 pixel 24-bit picture: a dark disc on a light background with a grey border.
std::string LogoBmp() {
  const int width = 120, height = 100;
  const int row_size = (width * 3 + 3) / 4 * 4;
  std::string bmp = "BM";
  PutLe(bmp, static_cast<std::uint32_t>(54 + row_size * height), 4);
  PutLe(bmp, 0, 4);
  PutLe(bmp, 54, 4);
  PutLe(bmp, 40, 4);
  PutLe(bmp, width, 4);
  PutLe(bmp, height, 4);
  PutLe(bmp, 1, 2);
  PutLe(bmp, 24, 2);
  for (int i = 0; i < 6; ++i) PutLe(bmp, 0, 4);
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const int dx = x - width / 2, dy = y - height / 2;
      unsigned char level = dx * dx + dy * dy < 40 * 40 ? 0x20 : 0xE0;
      if (x < 4 || y < 4 || x >= width - 4 || y >= height - 4) level = 0x80;
      row.append(3, static_cast<char>(level));
    }
    row.resize(static_cast<std::size_t>(row_size), '\0');
    bmp += row;
  }
  return bmp;
}

std::string ReferenceTemplate(bool with_bitmaps) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<Label Width=\"58\" Height=\"40\">\n"
      "<Item ClassName=\"TextSimple\"><Property Name=\"DS\" Value=\"Name\"/>"
      "<Property Name=\"Left\" Value=\"3\"/><Property Name=\"Top\" Value=\"2\"/>"
      "<Property Name=\"Width\" Value=\"40\"/><Property Name=\"Height\" Value=\"4\"/>"
      "<Property Name=\"FontSize\" Value=\"3\"/><Property Name=\"MaxSymbols\" Value=\"24\"/>"
      "</Item>\n"
      "<Item ClassName=\"Shk\"><Property Name=\"DS\" Value=\"Barcode\"/>"
      "<Property Name=\"BarCodeType\" Value=\"CODE128\"/>"
      "<Property Name=\"TextVisible\" Value=\"True\"/>"
      "<Property Name=\"Left\" Value=\"3\"/><Property Name=\"Top\" Value=\"20\"/>"
      "<Property Name=\"Width\" Value=\"30\"/><Property Name=\"Height\" Value=\"14\"/>"
      "</Item>\n"
      "<Item ClassName=\"Line\"><Property Name=\"LineLeft\" Value=\"3\"/>"
      "<Property Name=\"LineTop\" Value=\"18\"/><Property Name=\"LineLength\" Value=\"52\"/>"
      "<Property Name=\"PenWidth\" Value=\"0.3\"/></Item>\n"
      "<Item ClassName=\"Rectangle\"><Property Name=\"Left\" Value=\"1\"/>"
      "<Property Name=\"Top\" Value=\"1\"/><Property Name=\"Width\" Value=\"56\"/>"
      "<Property Name=\"Height\" Value=\"38\"/><Property Name=\"PenWidth\" Value=\"0.3\"/>"
      "</Item>\n";
  if (with_bitmaps) {
    xml +=
        "<Item ClassName=\"TextGraphic\"><Property Name=\"DS\" Value=\"Description\"/>"
        "<Property Name=\"Left\" Value=\"3\"/><Property Name=\"Top\" Value=\"7\"/>"
        "<Property Name=\"Width\" Value=\"40\"/><Property Name=\"Height\" Value=\"10\"/>"
        "<Property Name=\"Font.Size\" Value=\"9\"/></Item>\n"
        "<Item ClassName=\"Image\"><Property Name=\"Value\" Value=\"logo\"/>"
        "<Property Name=\"Left\" Value=\"36\"/><Property Name=\"Top\" Value=\"18\"/>"
        "<Property Name=\"Width\" Value=\"20\"/><Property Name=\"Height\" Value=\"20\"/>"
        "</Item>\n"
        "<ImageList Count=\"1\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
        "<Image Name=\"logo\" Path=\"\" dt:dt=\"bin.base64\">" +
        Base64(LogoBmp()) + "</Image></ImageList>\n";
  }
  xml += "</Label>\n";
  return xml;
}

// One print request of `labels` labels, as the driver makes it.
void PrintRequest(TPrinterTypeBase& printer, const std::string& xml, int labels) {
  printer.LabelObj().LoadFromString(xml);
  printer.InitTask();
  std::string number;
  for (int i = 0; i < labels; ++i) {
    number = std::to_string(100000 + i);
    printer.InitLabel();
    printer.ValuesList().Add("Name", "Товар №" + number);
    printer.ValuesList().Add("Barcode", "4601234" + number);
    printer.ValuesList().Add("Description", "Описание товара " + number + ", 400 г");
    printer.MakeLabelScript(1);
  }
}

void BM_LabelCommands(benchmark::State& state) {
  const int labels = static_cast<int>(state.range(0));
  const bool with_bitmaps = state.range(1) != 0;
  platform::LocaleFormat format;
  format.decimal_separator = ".";
  platform::ScopedUserLocale locale(format);

  std::unique_ptr<TPrinterTypeBase> printer = CreatePrinterOfModel(0);
  printer->PrintParams() = TPrintParams{58, 40, 2, pmDirect, 7, 4};
  const std::string xml = ReferenceTemplate(with_bitmaps);

  std::int64_t peak = 0;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    // The previous request's commands are released outside the measurement.
    state.PauseTiming();
    printer->CmdList() = TCmdList();
    state.ResumeTiming();
    const std::int64_t before = g_live_bytes.load();
    g_peak_bytes.store(before);
    PrintRequest(*printer, xml, labels);
    peak = std::max(peak, g_peak_bytes.load() - before);
    bytes = 0;
    for (const TPrinterCmd& cmd : printer->CmdList())
      bytes += static_cast<std::int64_t>(cmd.Data.size() + printer->CmdSuffix().size());
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * labels);
  state.counters["labels_per_s"] = benchmark::Counter(
      static_cast<double>(labels), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["bytes_per_label"] = static_cast<double>(bytes) / labels;
  state.counters["peak_bytes"] = static_cast<double>(peak);
}

BENCHMARK(BM_LabelCommands)
    ->ArgNames({"labels", "bitmaps"})
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pirell
