// The driver's printing path: a stored template and the host's labels data become one command
// list, written to the port while it is opened once.

#include <limits>

#include "driver_object/errors.h"
#include "label_printer/driver.h"
#include "platform/locale.h"
#include "ports/message_pump.h"

namespace pirell {
namespace {

constexpr char kCopiesColumn[] = "CopiesNumber";
// Largest batch of commands written to the port in one call.
constexpr std::size_t kWriteChunk = 64 * 1024;

// The copies of a label: 1 when its element is empty or null. A count the printer cannot take
// (below 1 or above 65535) is refused rather than wrapped into another number of labels.
std::uint16_t CopiesOf(const Variant& value) {
  if (value.IsEmptyOrNull()) return 1;
  const std::int32_t copies = value.ToInt();
  if (copies < 1 || copies > std::numeric_limits<std::uint16_t>::max())
    throw Error("The number of copies must be from 1 to 65535, not " + std::to_string(copies));
  return static_cast<std::uint16_t>(copies);
}

LimitError TooManyLabels() {
  return LimitError("В задании печати больше " + std::to_string(kMaxLabelsPerJob) +
                    " этикеток с учётом копий");
}

}  // namespace

void TDriver::AddLabels(const Variant& labels_data) {
  // Three parts addressed by absolute index: common values (2 x N), field names (K) and label
  // rows (K x L).
  const VariantArray& parts = labels_data.Array();
  const VariantArray& common = parts.At({0}).Array();
  const VariantArray& names = parts.At({1}).Array();
  const VariantArray& rows = parts.At({2}).Array();
  if (common.Dims() != 2 || names.Dims() != 1 || rows.Dims() != 2)
    throw ArrayError("The labels data has the wrong shape");
  const std::int32_t last_common = common.Upper(1);
  const std::int32_t last_name = names.Upper(0);
  const std::int32_t last_label = rows.Upper(1);
  if (static_cast<std::int64_t>(last_label) + 1 > kMaxLabelsPerJob) throw TooManyLabels();

  std::vector<std::string> column_names;
  for (std::int32_t k = 0; k <= last_name; ++k) column_names.push_back(names.At({k}).ToString());
  std::vector<std::pair<std::string, std::string>> common_values;
  for (std::int32_t j = 0; j <= last_common; ++j)
    common_values.emplace_back(common.At({0, j}).ToString(), common.At({1, j}).ToString());

  std::int64_t printed = 0;
  for (std::int32_t i = 0; i <= last_label; ++i) {
    FDevice->InitLabel();
    TValuesList& values = FDevice->ValuesList();
    for (const auto& [name, value] : common_values) values.Add(name, value);
    std::uint16_t copies = 1;
    for (std::int32_t k = 0; k <= last_name; ++k) {
      const Variant& cell = rows.At({k, i});
      const std::string& name = column_names[static_cast<std::size_t>(k)];
      if (platform::SameText(name, kCopiesColumn))
        copies = CopiesOf(cell);
      else
        values.Add(name, cell.ToString());
    }
    printed += copies;
    if (printed > kMaxLabelsPerJob) throw TooManyLabels();
    FDevice->MakeLabelScript(copies);
  }
}

ResultCode TDriver::PrintLabels(std::int32_t template_number, const Variant& labels_data,
                                std::string& description) {
  description.clear();
  FLastDevResultDescription.clear();
  if (!FDevice) return rc::NotEnabled;

  ResultCode code = rc::TemplateNotLoaded;
  if (const TTemplateItem* item = FTemplates->FindItem(template_number)) {
    // A template over the size limit is refused like bad labels data; any other template that
    // is not a label document raises an error for the dispatcher to report.
    bool loaded = false;
    try {
      FDevice->LabelObj().LoadFromString(item->Data());
      loaded = true;
    } catch (const LimitError& e) {
      code = rc::BadParameters;
      FLastDevResultDescription = e.what();
    }
    bool generated = false;
    if (loaded) {
      FDevice->InitTask();
      try {
        AddLabels(labels_data);
        generated = true;
      } catch (const LimitError& e) {
        code = rc::BadParameters;
        FLastDevResultDescription = e.what();
      } catch (const std::exception&) {
        code = rc::BadParameters;
      }
    }
    if (generated) code = SendCommands();
  }
  description = DriverResultText(code, FLastDevResultDescription);
  return code;
}

ResultCode TDriver::InitializePrinter(std::string& description) {
  description.clear();
  FLastDevResultDescription.clear();
  if (!FDevice) return rc::NotEnabled;
  FDevice->InitializePrinter();
  const ResultCode code = SendCommands();
  description = DriverResultText(code, FLastDevResultDescription);
  return code;
}

bool TDriver::DeviceTest(std::string& description) {
  description.clear();
  if (!FDevice) {
    description = ResultCodeText(rc::NotEnabled, "");
    return false;
  }
  FDevice->TestPrinter();
  const ResultCode code = SendCommands();
  description = DriverResultText(code, FLastDevResultDescription);
  return code == rc::Ok;
}

ResultCode TDriver::SendCommands() {
  FLastDevResultDescription.clear();
  ResultCode code = FPort->OpenPort();
  if (code == rc::Ok) {
    // Consecutive commands that need no flush and no pause go out in one write: the bytes on
    // the wire are the same, and a job of many labels costs far fewer device calls.
    const ByteString& suffix = FDevice->CmdSuffix();
    const TCmdList& commands = FDevice->CmdList();
    ByteString pending;
    for (int i = 0; i < commands.Count() && code == rc::Ok; ++i) {
      const TPrinterCmd& command = commands.Items(i);
      pending += command.Data;
      if (command.ActionAfter != coNoSuffix) pending += suffix;
      const bool last = i + 1 == commands.Count();
      if (!last && command.ActionAfter != coFlushBuffer && command.DelayTime == 0 &&
          pending.size() < kWriteChunk)
        continue;
      code = FPort->WriteToPort(pending);
      pending.clear();
      if (code != rc::Ok) break;
      if (command.ActionAfter == coFlushBuffer) FPort->FlushBuffer();
      if (command.DelayTime > 0) DelayWithMessages(command.DelayTime);
    }
    // A print queue takes the job only now.
    const ResultCode closed = FPort->ClosePort();
    if (code == rc::Ok) code = closed;
  }
  if (code != rc::Ok) FLastDevResultDescription = FPort->LastErrorDescription();
  return code;
}

}  // namespace pirell
