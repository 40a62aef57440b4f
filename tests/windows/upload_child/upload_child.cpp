// A process that uploads one template and ends itself abruptly (TerminateProcess) at a chosen
// step of the template file write, as a host process killed during an upload would.
//
//   pirell_upload_child.exe DEVICES_FOLDER FILL_CHARACTER [KILL_AT_STEP]
//
// Exits 0 when the upload went through, 9 when it was killed, 2 on bad arguments or a failure.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "label_printer/base_label_printer.h"
#include "platform/files.h"
#include "support/failing_file_writer.h"
#include "support/fake_equipment_manager.h"
#include "support/host_calls.h"

int main(int argc, char** argv) {
  using namespace pirell;
  if (argc < 3) return 2;
  auto host = std::make_shared<testing::FakeEquipmentManager>();
  host->properties["DevicesFolder"] = argv[1];
  auto printer = CreateObject<TBaseLabelPrinter>();
  const testing::PrivateCall init =
      testing::CallPrivate(*printer, "Init", {Variant::Dispatch(host), Variant()});
  const testing::PrivateCall open =
      testing::CallPrivate(*printer, "Open", {Variant::OleStr("P1"), Variant()});
  if (!init.result.ToBool() || !open.result.ToBool()) return 2;

  testing::FailingFileWriter writer;
  if (argc > 3) writer.fail_at = std::atoi(argv[3]);
  writer.at_failing_step = [] { TerminateProcess(GetCurrentProcess(), 9); };
  platform::ScopedFileWriter scope(writer);
  const std::string data = "<Label>" + std::string(20000, argv[2][0]) + "</Label>";
  const testing::PublicCall upload = testing::CallPublic(
      *printer, "UploadTemplate", VariantArray::Vector({Variant(1), Variant("d"), Variant(data)}));
  return upload.result.ToBool() ? 0 : 2;
}
