#include "platform/windows/print_queue_spooler.h"

#include <windows.h>
// windows.h first.
#include <winspool.h>

#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/windows/device_io_windows.h"
#include "platform/windows/wide.h"

namespace pirell::platform {
namespace windows_spooler {
namespace {

std::string LastErrorText() {
  return SystemErrorMessage(static_cast<int>(GetLastError()));
}

// Owns a spooler printer handle.
class PrinterHandle {
 public:
  PrinterHandle() = default;
  ~PrinterHandle() {
    if (handle_) ClosePrinter(handle_);
  }
  PrinterHandle(const PrinterHandle&) = delete;
  PrinterHandle& operator=(const PrinterHandle&) = delete;
  HANDLE get() const { return handle_; }
  HANDLE* receive() { return &handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// The printer's level 2 information, or nothing.
std::vector<BYTE> PrinterInformation(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  if (needed == 0) return {};
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return {};
  return buffer;
}

class SpoolerJob : public PrintJob {
 public:
  explicit SpoolerJob(HANDLE printer) : printer_(printer) {}
  // A document that was not handed over is deleted from the queue.
  ~SpoolerJob() override {
    if (!finished_) AbortPrinter(printer_);
  }
  SpoolerJob(const SpoolerJob&) = delete;
  SpoolerJob& operator=(const SpoolerJob&) = delete;

  bool Write(std::string_view bytes, std::string& reason) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      const auto length = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 0x10000000u));
      if (!WritePrinter(printer_, const_cast<char*>(bytes.data()), length, &written) ||
          written == 0) {
        reason = LastErrorText();
        return false;
      }
      bytes.remove_prefix(written);
    }
    return true;
  }

  bool Finish(std::string& reason) override {
    finished_ = true;
    if (EndDocPrinter(printer_)) return true;
    reason = LastErrorText();
    AbortPrinter(printer_);
    return false;
  }

 private:
  HANDLE printer_;  // the queue's, which outlives its jobs
  bool finished_ = false;
};

class SpoolerQueue : public PrintQueue {
 public:
  explicit SpoolerQueue(std::unique_ptr<PrinterHandle> printer) : printer_(std::move(printer)) {}

  // A document of the "RAW" data type: the spooler hands the bytes to the port unchanged.
  std::unique_ptr<PrintJob> StartJob(const std::string& title, std::string& reason) override {
    std::wstring document = Widen(title);
    wchar_t raw[] = L"RAW";
    DOC_INFO_1W info{document.data(), nullptr, raw};
    if (StartDocPrinterW(printer_->get(), 1, reinterpret_cast<BYTE*>(&info)) == 0) {
      reason = LastErrorText();
      return nullptr;
    }
    return std::make_unique<SpoolerJob>(printer_->get());
  }

 private:
  std::unique_ptr<PrinterHandle> printer_;
};

}  // namespace

std::vector<PrintQueueRecord> ListQueues() {
  std::vector<PrintQueueRecord> queues;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0;
  DWORD count = 0;
  EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &count);
  if (needed == 0) return queues;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersW(flags, nullptr, 2, buffer.data(), needed, &needed, &count)) return queues;
  std::wstring default_name;
  DWORD default_length = 0;
  GetDefaultPrinterW(nullptr, &default_length);
  if (default_length > 0) {
    default_name.resize(default_length);
    if (GetDefaultPrinterW(default_name.data(), &default_length))
      default_name.resize(default_length > 0 ? default_length - 1 : 0);
    else
      default_name.clear();
  }
  const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    const PRINTER_INFO_2W& printer = printers[i];
    if (!printer.pPrinterName) continue;
    PrintQueueRecord queue;
    queue.name = Narrow(printer.pPrinterName);
    for (const wchar_t* text : {printer.pComment, printer.pLocation, printer.pDriverName}) {
      if (text && *text) {
        queue.description = Narrow(text);
        break;
      }
    }
    queue.is_default = default_name == printer.pPrinterName;
    queues.push_back(std::move(queue));
  }
  return queues;
}

}  // namespace windows_spooler

namespace windows_io {

PrintQueueOpenResult OpenSpoolerQueue(const std::string& name) {
  PrintQueueOpenResult result;
  auto printer = std::make_unique<windows_spooler::PrinterHandle>();
  std::wstring wide = Widen(name);
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
  if (!OpenPrinterW(wide.data(), printer->receive(), &defaults)) {
    result.reason = windows_spooler::LastErrorText();
    return result;
  }
  const std::vector<BYTE> information = windows_spooler::PrinterInformation(printer->get());
  if (!information.empty()) {
    const auto* details = reinterpret_cast<const PRINTER_INFO_2W*>(information.data());
    if (details->Status & PRINTER_STATUS_PENDING_DELETION) {
      result.not_accepting = true;
      return result;
    }
  }
  result.queue = std::make_unique<windows_spooler::SpoolerQueue>(std::move(printer));
  return result;
}

}  // namespace windows_io
}  // namespace pirell::platform
