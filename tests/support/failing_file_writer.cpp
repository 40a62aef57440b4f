#include "support/failing_file_writer.h"

#include <algorithm>
#include <memory>

namespace pirell::testing {

class FailingWritableFile : public platform::WritableFile {
 public:
  FailingWritableFile(FailingFileWriter& owner, std::unique_ptr<platform::WritableFile> file)
      : owner_(owner), file_(std::move(file)) {}

  WriteResult Write(std::string_view bytes) override {
    const std::size_t offered = std::min(bytes.size(), owner_.max_write);
    if (owner_.Step("write " + std::to_string(offered))) {
      // A disk that fills up takes part of the data, then fails.
      WriteResult half = file_->Write(bytes.substr(0, offered / 2));
      return {half.written, owner_.error};
    }
    return file_->Write(bytes.substr(0, offered));
  }
  int Flush() override {
    const bool fail = owner_.Step("flush");
    const int result = file_->Flush();
    return fail ? owner_.error : result;
  }
  int Close() override {
    const bool fail = owner_.Step("close");
    const int result = file_->Close();
    return fail ? owner_.error : result;
  }

 private:
  FailingFileWriter& owner_;
  std::unique_ptr<platform::WritableFile> file_;
};

bool FailingFileWriter::Step(std::string name) {
  const bool fail = fail_at && *fail_at == static_cast<int>(steps.size());
  steps.push_back(std::move(name));
  if (fail && at_failing_step) at_failing_step();
  return fail;
}

platform::FileWriter::Temporary FailingFileWriter::CreateTemporary(const std::string& target) {
  if (Step("create")) return {nullptr, {}, error};
  Temporary temporary = platform::SystemFileWriter().CreateTemporary(target);
  if (temporary.file)
    temporary.file = std::make_unique<FailingWritableFile>(*this, std::move(temporary.file));
  return temporary;
}

int FailingFileWriter::Rename(const std::string& from, const std::string& to) {
  if (Step("rename")) return error;
  return platform::SystemFileWriter().Rename(from, to);
}

void FailingFileWriter::Remove(const std::string& path) {
  ++removed;
  platform::SystemFileWriter().Remove(path);
}

}  // namespace pirell::testing
