#include "platform/linux/print_queue_cups.h"

#include <cups/cups.h>

#include <memory>

#include "platform/files.h"

namespace pirell::platform::linux_cups {
namespace {

// libcups keeps the server to talk to, and one connection to it, per thread: a queue on another
// server is reached by switching to it for as long as the queue is open (switching closes the
// connection, and with it a job under way), and the previous server is restored after.
class ServerScope {
 public:
  explicit ServerScope(const std::string& server) : switched_(!server.empty()) {
    if (!switched_) return;
    previous_ = cupsServer();
    previous_port_ = ippPort();
    cupsSetServer(server.c_str());
  }
  ~ServerScope() {
    if (!switched_) return;
    // A local socket has no port; a host name gets its port back with it.
    const std::string restored =
        previous_.starts_with('/') ? previous_ : previous_ + ":" + std::to_string(previous_port_);
    cupsSetServer(restored.c_str());
  }
  ServerScope(const ServerScope&) = delete;
  ServerScope& operator=(const ServerScope&) = delete;

 private:
  bool switched_;
  std::string previous_;
  int previous_port_ = 0;
};

struct DestFree {
  void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
struct DestInfoFree {
  void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestFree>;
using DestInfoPtr = std::unique_ptr<cups_dinfo_t, DestInfoFree>;

// How long a look at whether the print server answers may take.
constexpr int kServerProbeMs = 5000;

// The server's reason for the last failure, in Russian for the answers a label queue meets;
// libcups's own words for the rest.
std::string LastError() {
  switch (cupsLastError()) {
    case IPP_STATUS_ERROR_NOT_FOUND:
      return "Сервер печати не знает такой очереди";
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
      return "Очередь не принимает задания";
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
      return "Сервер печати не разрешает печатать в эту очередь";
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
      return "Сервер печати недоступен";
    case IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED:
      return "Очередь не принимает необработанные данные";
    default:
      break;
  }
  const char* text = cupsLastErrorString();
  return text && *text ? text : ippErrorString(cupsLastError());
}

// The system's reason when the print server does not answer at all (libcups then reports only
// that the queue does not exist); empty when it answers.
std::string ServerUnreachableReason() {
  // No time-out yet: the connection is only prepared, so that its error can be read.
  http_t* http =
      httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 0, nullptr);
  if (!http) return LastError();
  const bool answers = httpReconnect2(http, kServerProbeMs, nullptr) == 0;
  const int error = httpError(http);
  httpClose(http);
  return answers ? std::string() : SystemErrorMessage(error);
}

class CupsPrintJob : public PrintJob {
 public:
  CupsPrintJob(cups_dest_t* dest, DestInfoPtr info, int job_id)
      : dest_(dest), info_(std::move(info)), job_id_(job_id) {}

  // A job that was not handed over is ended and cancelled, so nothing of it prints.
  ~CupsPrintJob() override {
    if (finished_) return;
    cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest_, info_.get());
    cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest_, job_id_);
  }
  CupsPrintJob(const CupsPrintJob&) = delete;
  CupsPrintJob& operator=(const CupsPrintJob&) = delete;

  bool Write(std::string_view bytes, std::string& reason) override {
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.data(), bytes.size()) ==
        HTTP_STATUS_CONTINUE) {
      return true;
    }
    reason = LastError();
    return false;
  }

  bool Finish(std::string& reason) override {
    finished_ = true;
    if (cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest_, info_.get()) == IPP_STATUS_OK) return true;
    reason = LastError();
    cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest_, job_id_);
    return false;
  }

 private:
  cups_dest_t* dest_;  // the queue's, which outlives its jobs
  DestInfoPtr info_;
  int job_id_;
  bool finished_ = false;
};

class CupsPrintQueue : public PrintQueue {
 public:
  CupsPrintQueue(std::unique_ptr<ServerScope> server, DestPtr dest)
      : server_(std::move(server)), dest_(std::move(dest)) {}

  std::unique_ptr<PrintJob> StartJob(const std::string& title, std::string& reason) override {
    DestInfoPtr info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest_.get()));
    if (!info) {
      reason = LastError();
      return nullptr;
    }
    int job_id = 0;
    if (cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest_.get(), info.get(), &job_id, title.c_str(), 0,
                          nullptr) != IPP_STATUS_OK) {
      reason = LastError();
      return nullptr;
    }
    // Raw data: the server hands the bytes to the printer without any filter.
    if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest_.get(), info.get(), job_id, title.c_str(),
                              CUPS_FORMAT_RAW, 0, nullptr, 1) != HTTP_STATUS_CONTINUE) {
      reason = LastError();
      cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest_.get(), job_id);
      return nullptr;
    }
    return std::make_unique<CupsPrintJob>(dest_.get(), std::move(info), job_id);
  }

 private:
  std::unique_ptr<ServerScope> server_;
  DestPtr dest_;
};

}  // namespace

QueueName SplitQueueName(std::string_view name) {
  QueueName parts;
  const std::size_t at = name.rfind('@');
  if (at != std::string_view::npos) {
    parts.server = std::string(name.substr(at + 1));
    name = name.substr(0, at);
  }
  const std::size_t slash = name.find('/');
  if (slash != std::string_view::npos) {
    parts.instance = std::string(name.substr(slash + 1));
    name = name.substr(0, slash);
  }
  parts.queue = std::string(name);
  return parts;
}

PrintQueueOpenResult OpenQueue(const std::string& name) {
  const QueueName parts = SplitQueueName(name);
  PrintQueueOpenResult result;
  if (parts.queue.empty()) {
    result.reason = ippErrorString(IPP_STATUS_ERROR_NOT_FOUND);
    return result;
  }
  auto server = std::make_unique<ServerScope>(parts.server);
  DestPtr dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, parts.queue.c_str(),
                                parts.instance.empty() ? nullptr : parts.instance.c_str()));
  if (!dest) {
    result.reason = LastError();
    if (std::string unreachable = ServerUnreachableReason(); !unreachable.empty())
      result.reason = std::move(unreachable);
    return result;
  }
  const char* accepting =
      cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
  if (accepting && std::string_view(accepting) == "false") {
    result.not_accepting = true;
    return result;
  }
  result.queue = std::make_unique<CupsPrintQueue>(std::move(server), std::move(dest));
  return result;
}

std::vector<PrintQueueRecord> ListQueues() {
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  std::vector<PrintQueueRecord> queues;
  for (int i = 0; i < count; ++i) {
    const cups_dest_t& dest = dests[i];
    PrintQueueRecord queue;
    queue.name = dest.name;
    if (dest.instance) queue.name += std::string("/") + dest.instance;
    for (const char* option : {"printer-info", "printer-location", "printer-make-and-model"}) {
      const char* value = cupsGetOption(option, dest.num_options, dest.options);
      if (value && *value) {
        queue.description = value;
        break;
      }
    }
    queue.is_default = dest.is_default != 0;
    queues.push_back(std::move(queue));
  }
  cupsFreeDests(count, dests);
  return queues;
}

}  // namespace pirell::platform::linux_cups
