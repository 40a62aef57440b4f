#include "platform/files.h"

#include "common/errors.h"
#include "common/module_strings.h"

namespace pirell::platform {
namespace {

FileWriter*& Installed() {
  static FileWriter* installed = nullptr;
  return installed;
}

FileWriter& CurrentFileWriter() {
  FileWriter* installed = Installed();
  return installed ? *installed : SystemFileWriter();
}

// Writes every byte; the error of the call that failed, or 0.
int WriteAll(WritableFile& file, std::string_view bytes, bool& stalled) {
  stalled = false;
  while (!bytes.empty()) {
    const WritableFile::WriteResult result = file.Write(bytes);
    if (result.error != 0) return result.error;
    if (result.written == 0 || result.written > bytes.size()) {
      // A file system that takes nothing without an error would keep this loop going forever.
      stalled = true;
      return 0;
    }
    bytes.remove_prefix(result.written);
  }
  return 0;
}

}  // namespace

ScopedFileWriter::ScopedFileWriter(FileWriter& writer) : previous_(Installed()) {
  Installed() = &writer;
}

ScopedFileWriter::~ScopedFileWriter() {
  Installed() = previous_;
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  FileWriter& writer = CurrentFileWriter();
  FileWriter::Temporary temporary = writer.CreateTemporary(path);
  if (!temporary.file) throw Error(SystemErrorMessage(temporary.error));
  bool stalled = false;
  int error = WriteAll(*temporary.file, bytes, stalled);
  if (error == 0 && !stalled) error = temporary.file->Flush();
  // Closed in every case, so that the temporary file can be removed (Windows keeps open files).
  const int close_error = temporary.file->Close();
  temporary.file.reset();
  if (error == 0 && !stalled) error = close_error;
  if (error == 0 && !stalled) error = writer.Rename(temporary.path, path);
  if (error != 0 || stalled) {
    writer.Remove(temporary.path);
    throw Error(stalled ? ModuleText(StringId::FileSystemStalled) : SystemErrorMessage(error));
  }
}

}  // namespace pirell::platform
