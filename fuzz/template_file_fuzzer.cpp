// The device's template file as the driver reads it when the device is enabled, whatever the
// file holds; a file that reads is written and read back to the same templates.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "common/errors.h"
#include "driver_session.h"
#include "label_printer/templates_list.h"
#include "support/temp_dir.h"

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) pirell::fuzz::Fail("cannot write " + path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pirell;
  static const testing::TempDir folder;
  const std::string file = TTemplatesList::FileName(folder.path());
  WriteFile(file, std::string(reinterpret_cast<const char*>(data), size));
  TTemplatesList list;
  try {
    list.Load(folder.path());
  } catch (const Error&) {
    return 0;  // a damaged file is refused with a message
  }
  WriteFile(file, list.ToFileBytes());
  TTemplatesList again;
  again.Load(folder.path());
  if (again.Count() != list.Count()) fuzz::Fail("the template file lost templates");
  for (int i = 0; i < list.Count(); ++i) {
    const TTemplateItem& a = list.Items(i);
    const TTemplateItem& b = again.Items(i);
    if (a.Number() != b.Number() || a.Description() != b.Description() || a.Data() != b.Data())
      fuzz::Fail("a template did not read back unchanged");
  }
  return 0;
}
