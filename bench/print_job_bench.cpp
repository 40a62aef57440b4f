// One "PrintLabels" request of the driver as a whole: N labels of the reference label (with and
// without its two bitmap fields) from the host's call by name to the last byte at the port. Per
// size: labels per second of wall time and of the process's processor time; the peak memory the
// call holds (counting allocator: the bytes of live C++ allocations above what was held when the
// call began; the host's labels table exists before the call and is not counted, nor are the C
// libraries' own allocations such as libxml2's parse of the template) and that peak per label row;
// and the time from the call to the first byte at the port, in wall and in processor time.
//
// The arguments reach the driver as the Linux module gets them (references to the host's
// variants), or, with own_texts, as the COM binding reads a host's SAFEARRAY: a copy whose every
// text the driver made itself (BSTRs converted to UTF-8).
//
//   build/native/pirell_bench --benchmark_filter=PrintJob

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "counting_allocator.h"
#include "label_printer/driver.h"
#include "platform/locale.h"
#include "reference_label.h"
#include "support/host_call_catalog.h"

namespace pirell {
namespace {

using Clock = std::chrono::steady_clock;

Variant LabelsData(int labels, bool with_bitmaps) {
  VariantArray names =
      with_bitmaps
          ? VariantArray::Vector({Variant("Name"), Variant("Barcode"), Variant("Description")})
          : VariantArray::Vector({Variant("Name"), Variant("Barcode")});
  VariantArray rows = VariantArray::Table(with_bitmaps ? 3 : 2, labels);
  for (int i = 0; i < labels; ++i) {
    const std::string number = std::to_string(100000 + i);
    rows.At({0, i}) = Variant("Товар №" + number);
    rows.At({1, i}) = Variant("4601234" + number);
    if (with_bitmaps) rows.At({2, i}) = Variant("Описание товара " + number + ", 400 г");
  }
  return Variant(VariantArray::Vector(
      {Variant(VariantArray::Table(2, 0)), Variant(std::move(names)), Variant(std::move(rows))}));
}

// The host's arguments as the COM binding reads them: one copy, every text of it the driver's own.
class OwnTextArguments : public ArgumentBlock {
 public:
  explicit OwnTextArguments(std::vector<Variant>& args) : args_(args) {}
  std::size_t Count() const override { return args_.size(); }
  Variant Read(std::size_t index) const override { return OwnCopy(args_.at(index)); }
  void WriteBack(std::size_t index, Variant value) override {
    VariantArguments(args_).WriteBack(index, std::move(value));
  }

 private:
  static Variant OwnCopy(const Variant& value) {
    const Variant& v = value.Deref();
    if (v.IsText()) return Variant::OleStr(std::string(v.RawString()));
    if (!v.IsArray()) return v;
    // Each array is made once, element by element, as the binding reads a SAFEARRAY.
    const VariantArray& array = v.Array();
    std::vector<ArrayBound> bounds;
    for (int d = 0; d < array.Dims(); ++d) bounds.push_back(array.Bound(d));
    VariantArray copy(std::move(bounds));
    for (std::size_t i = 0; i < array.Size(); ++i) copy.Items()[i] = OwnCopy(array.Items()[i]);
    return Variant(std::move(copy));
  }

  std::vector<Variant>& args_;
};

// "PrintLabels" called by name as the host calls it: InData, OutData and TimeOut by reference to
// the host's variants. Returns the result code.
std::int32_t CallPrintLabels(LateBoundObject& driver, Variant& in_data, bool own_texts,
                             std::string& message) {
  DispId id = -1;
  if (!Succeeded(driver.GetIDsOfNames("PrintLabels", id))) return -1;
  Variant out_data;
  Variant time_out = Variant::Integer(0);
  std::vector<Variant> args{Variant::Ref(&in_data), Variant::Ref(&out_data),
                            Variant::Ref(&time_out)};
  VariantArguments shared(args);
  OwnTextArguments own(args);
  ArgumentBlock& block = own_texts ? static_cast<ArgumentBlock&>(own) : shared;
  Variant result;
  ExceptionInfo exception;
  if (!Succeeded(driver.Invoke(id, kDispatchMethod, block, &result, &exception))) {
    message = exception.description;
    return -1;
  }
  if (result.ToBool()) return rc::Ok;
  message = out_data.Array().At({1}).ToString();
  return out_data.Array().At({0}).ToInt();
}

void Call(LateBoundObject& driver, const char* method, Variant in_data) {
  testing::HostCallCase call;
  call.method = method;
  call.in_data = std::move(in_data);
  testing::RunHostCall(driver, call);
}

void CallPrivate(LateBoundObject& driver, const char* method, std::vector<Variant> params) {
  testing::HostCallCase call;
  call.method = method;
  call.is_private = true;
  call.params = std::move(params);
  testing::RunHostCall(driver, call);
}

void BM_PrintJob(benchmark::State& state) {
  const int labels = static_cast<int>(state.range(0));
  const bool with_bitmaps = state.range(1) != 0;
  const bool own_texts = state.range(2) != 0;
  platform::LocaleFormat format;
  format.decimal_separator = ".";
  platform::ScopedUserLocale locale(format);

  const std::filesystem::path devices =
      std::filesystem::temp_directory_path() / ("pirell-print-job-" + std::to_string(::getpid()));
  std::filesystem::create_directories(devices / "LP1");
  // A printer that counts the bytes it takes and notes when the first ones arrived.
  testing::NullDeviceIo printer;
  std::optional<Clock::time_point> first_byte;
  std::clock_t first_byte_cpu = 0;
  printer.after_write = [&] {
    if (first_byte || printer.bytes == 0) return;
    first_byte = Clock::now();
    first_byte_cpu = std::clock();
  };
  auto host = std::make_shared<testing::QuietEquipmentManager>(devices.string());
  auto driver = CreateObject<TDriver>(printer);
  CallPrivate(*driver, "Init", {Variant::Dispatch(host), Variant()});
  CallPrivate(*driver, "Open", {Variant::OleStr("LP1"), Variant()});
  Call(*driver, "UploadTemplate",
       Variant(VariantArray::Vector(
           {Variant(1), Variant("bench"), Variant(bench::ReferenceTemplate(with_bitmaps))})));
  Call(*driver, "Enable", Variant());
  Variant in_data(VariantArray::Vector({Variant(1), LabelsData(labels, with_bitmaps)}));

  double seconds = 0;
  double cpu_seconds = 0;
  double first_byte_ms = 0;
  double first_byte_cpu_ms = 0;
  std::int64_t peak = 0;
  for (auto _ : state) {
    first_byte.reset();
    printer.bytes = 0;
    const std::int64_t before = bench::LiveBytes();
    bench::ResetPeak();
    const Clock::time_point start = Clock::now();
    const std::clock_t cpu_start = std::clock();
    std::string description;
    const std::int32_t code = CallPrintLabels(*driver, in_data, own_texts, description);
    const std::clock_t cpu_end = std::clock();
    const Clock::time_point end = Clock::now();
    peak = std::max(peak, bench::PeakBytes() - before);
    if (code != rc::Ok) {
      state.SkipWithError(("PrintLabels: " + std::to_string(code) + " " + description).c_str());
      break;
    }
    seconds += std::chrono::duration<double>(end - start).count();
    cpu_seconds += static_cast<double>(cpu_end - cpu_start) / CLOCKS_PER_SEC;
    if (first_byte) {
      first_byte_ms = std::max(
          first_byte_ms, std::chrono::duration<double, std::milli>(*first_byte - start).count());
      first_byte_cpu_ms =
          std::max(first_byte_cpu_ms,
                   static_cast<double>(first_byte_cpu - cpu_start) * 1000.0 / CLOCKS_PER_SEC);
    }
  }
  Call(*driver, "Disable", Variant());
  std::filesystem::remove_all(devices);
  const double printed = static_cast<double>(labels) * static_cast<double>(state.iterations());
  if (seconds > 0) state.counters["labels_per_s"] = printed / seconds;
  if (cpu_seconds > 0) state.counters["labels_per_cpu_s"] = printed / cpu_seconds;
  state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
  state.counters["driver_B_per_row"] = static_cast<double>(peak) / labels;
  state.counters["first_byte_ms"] = first_byte_ms;
  state.counters["first_byte_cpu_ms"] = first_byte_cpu_ms;
  state.counters["bytes_per_label"] = static_cast<double>(printer.bytes) / labels;
}
BENCHMARK(BM_PrintJob)
    ->ArgNames({"labels", "bitmaps", "own_texts"})
    ->ArgsProduct({{1000, 10000, 100000}, {0, 1}, {0, 1}})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pirell
