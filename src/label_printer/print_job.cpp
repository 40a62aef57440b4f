// The driver's printing path. A print request is checked whole before the port opens, so that a
// refusal sends nothing; then the labels are made and written one after the other while the port
// is opened once, so that a job's memory does not grow with its number of labels.

#include <new>
#include <optional>
#include <utility>

#include "common/errors.h"
#include "common/module_strings.h"
#include "label_printer/command_writer.h"
#include "label_printer/driver.h"
#include "label_printer/job_progress.h"
#include "label_printer/test_label.h"
#include "rendering/field_barcodes.h"
#include "rendering/graphic_primitives.h"
#include "rendering/printer_registry.h"

namespace pirell {
namespace {

// Every field drawn into a bitmap has a box within the bound. The boxes come from the template
// alone, so checking them once covers every label.
void CheckFieldBoxes(TLabelObj& label) {
  TFieldList& fields = label.Fields();
  for (int i = 0; i < fields.Count(); ++i) {
    const TField& field = *fields.Items(i);
    if (field.FieldType() == ftGraphicText || field.FieldType() == ftImage)
      CheckFieldBox(field.GetPropertyDbl("Width", 0), field.GetPropertyDbl("Height", 0));
  }
}

// Closes the port however the job ends.
class PortCloser {
 public:
  explicit PortCloser(TPortManager& port) : port_(&port) {}
  ~PortCloser() {
    if (port_) port_->ClosePort();
  }
  PortCloser(const PortCloser&) = delete;
  PortCloser& operator=(const PortCloser&) = delete;

  // Closes it now: 0, or the port's code when it does not take the job (a print queue).
  ResultCode Close() { return std::exchange(port_, nullptr)->ClosePort(); }

 private:
  TPortManager* port_;
};

}  // namespace

std::int64_t TDriver::CheckPrintRequest(const TLabelsData& data) {
  const std::int64_t labels = data.Validate();
  // Without labels nothing is drawn, so no box can be too large.
  if (data.Count() > 0) CheckFieldBoxes(FDevice->LabelObj());
  if (data.Count() > 0 && HasEncodedBarcodes(FDevice->LabelObj())) CheckLabelBarcodes(data);
  return labels;
}

void TDriver::CheckLabelBarcodes(const TLabelsData& data) {
  // Every label binds the values of the same names, so after this pass each label of the job
  // binds its own values again, as it did here.
  for (std::int32_t i = 0; i < data.Count(); ++i) {
    FDevice->InitLabel();
    data.FillValues(i, FDevice->ValuesList());
    FDevice->CheckLabelScript();
  }
}

ResultCode TDriver::PrintLabels(std::int32_t template_number, const Variant& labels_data,
                                std::string& description) {
  description.clear();
  FLastDevResultDescription.clear();
  if (!FDevice) return rc::NotEnabled;

  ResultCode code = rc::TemplateNotLoaded;
  if (const TTemplateItem* item = FTemplates->FindItem(template_number)) {
    code = rc::BadParameters;
    // A template over a size limit is refused like bad labels data; any other template that is
    // not a label document raises an error for the dispatcher to report.
    bool loaded = false;
    try {
      FDevice->LabelObj().LoadFromString(item->Data());
      loaded = true;
    } catch (const LimitError& e) {
      FLastDevResultDescription = e.what();
    }
    std::optional<TLabelsData> data;
    std::int64_t total = 0;
    if (loaded) {
      try {
        data.emplace(labels_data);
        total = CheckPrintRequest(*data);
      } catch (const LimitError& e) {
        data.reset();
        FLastDevResultDescription = e.what();
      } catch (const LabelsDataError& e) {
        data.reset();
        FLastDevResultDescription = e.what();
      } catch (const BarcodeError& e) {
        data.reset();
        FLastDevResultDescription = e.what();
      } catch (const std::exception&) {
        data.reset();
      }
    }
    if (data) {
      TLabelImageList& pictures = FDevice->LabelObj().Images();
      pictures.Drawn().SetNotes([this](const std::string& caption, const std::string& text) {
        WriteDebugLog(caption, text);
      });
      code = StreamLabels(*data, total);
      // What the request drew is not kept for the next one.
      pictures.Drawn().Clear();
    }
  }
  description = DriverResultText(code, FLastDevResultDescription);
  return code;
}

ResultCode TDriver::StreamLabels(const TLabelsData& data, std::int64_t total) {
  ResultCode code = FPort->OpenPort();
  if (code != rc::Ok) {
    FLastDevResultDescription = FPort->LastErrorDescription();
    return code;
  }
  PortCloser closer(*FPort);
  TCommandWriter writer(*FPort, FDevice->CmdSuffix());
  TJobProgress progress(total, [this](std::int32_t percent, const std::string& text) {
    try {
      TaskState(percent, text);
      return true;
    } catch (...) {
      return false;  // a host without progress reports still gets its labels
    }
  });
  FDevice->InitTask();
  code = writer.WriteAll(FDevice->CmdList());

  std::int64_t made = 0;  // labels whose commands went to the writer, copies counted
  std::int64_t sent = 0;  // labels whose commands reached the port
  std::optional<std::string> failed_label;
  for (std::int32_t i = 0; code == rc::Ok && i < data.Count(); ++i) {
    // A label is made whole before any of it is written, so that a failure while making it
    // leaves only whole labels sent.
    std::uint16_t copies = 1;
    try {
      FDevice->CmdList().Clear();
      FDevice->InitLabel();
      copies = data.FillValues(i, FDevice->ValuesList());
      FDevice->MakeLabelScript(copies);
    } catch (const LimitError& e) {
      failed_label = e.what();
    } catch (const BarcodeError& e) {
      failed_label = e.what();
    } catch (const std::bad_alloc&) {
      failed_label = std::string(LoadModuleString(StringId::OutOfMemory));
    } catch (const std::exception&) {
      failed_label = std::string();
    }
    if (failed_label) break;
    code = writer.WriteAll(FDevice->CmdList());
    if (code != rc::Ok) break;
    made += copies;
    if (writer.AllWritten()) sent = made;
    progress.Sent(sent);
  }
  if (code == rc::Ok) code = writer.Finish();
  if (code == rc::Ok) sent = made;
  FDevice->CmdList().Clear();
  // A print queue takes the job (the whole labels written) only now.
  const ResultCode closed = closer.Close();
  if (code == rc::Ok) code = closed;
  // A print queue drops the whole job when a write or the hand-over fails.
  if (code != rc::Ok && FPort->PortType() == TPortType::ptQueue) sent = 0;
  progress.Done(sent);

  if (code != rc::Ok) {
    FLastDevResultDescription = FPort->LastErrorDescription();
  } else if (failed_label) {
    code = rc::BadParameters;
    FLastDevResultDescription = *failed_label;
  }
  if (code != rc::Ok) {
    if (!FLastDevResultDescription.empty()) FLastDevResultDescription += "\r\n";
    FLastDevResultDescription += LabelsSentText(sent, total);
  }
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
  AppendTestLabel();
  const ResultCode code = SendCommands();
  description = DriverResultText(code, FLastDevResultDescription);
  return code == rc::Ok;
}

void TDriver::AppendTestLabel() {
  const TCmdList configuration = FDevice->CmdList();
  TLabelObj& label = FDevice->LabelObj();
  try {
    label.LoadFromString(TestLabelTemplate(FDevice->PrintParams()));
    FDevice->InitTask();
    FDevice->InitLabel();
    TValuesList& values = FDevice->ValuesList();
    const TPrinterModel* model = PrinterModelAt(GetSettingValueInt("PrinterModel"));
    values.Add("Title", "Pirell: тест печати");
    values.Add("Model", model != nullptr ? model->Name : std::string());
    values.Add("Code", "PIRELL-TEST");
    FDevice->MakeLabelScript(1);
  } catch (const std::exception&) {
    // A label the print area cannot hold: the configuration alone tests the device.
    FDevice->CmdList() = configuration;
    label.Images().Drawn().Clear();
    return;
  }
  TCmdList job = configuration;
  for (const TPrinterCmd& cmd : FDevice->CmdList())
    job.Add(cmd.Data, cmd.ActionAfter, cmd.DelayTime);
  FDevice->CmdList() = std::move(job);
  // The next print request loads its own template; nothing of the test label is kept.
  label.Images().Drawn().Clear();
}

ResultCode TDriver::SendCommands() {
  FLastDevResultDescription.clear();
  ResultCode code = FPort->OpenPort();
  if (code == rc::Ok) {
    TCommandWriter writer(*FPort, FDevice->CmdSuffix());
    code = writer.WriteAll(FDevice->CmdList());
    if (code == rc::Ok) code = writer.Finish();
    // A print queue takes the job only now.
    const ResultCode closed = FPort->ClosePort();
    if (code == rc::Ok) code = closed;
  }
  if (code != rc::Ok) FLastDevResultDescription = FPort->LastErrorDescription();
  return code;
}

}  // namespace pirell
