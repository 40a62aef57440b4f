#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace pirell::testing {

// The system's file writer with one step made to fail: every creation, write, flush, close and
// rename is a numbered step (from 0), and the step numbered `fail_at` reports `error` instead of
// (or, for a write, after half) doing its work. Writes take at most `max_write` bytes, so that a
// file of some size is written by many calls.
class FailingFileWriter : public platform::FileWriter {
 public:
  Temporary CreateTemporary(const std::string& target) override;
  int Rename(const std::string& from, const std::string& to) override;
  void Remove(const std::string& path) override;

  std::optional<int> fail_at;
  // Runs when the failing step is reached, before it fails (a test may end the process there).
  std::function<void()> at_failing_step;
  int error = 5;
  std::size_t max_write = 4096;

  // "create", "write N", "flush", "close", "rename", in order; "remove" is no step.
  std::vector<std::string> steps;
  int removed = 0;

 private:
  friend class FailingWritableFile;
  // Records the step; true when it is the one to fail.
  bool Step(std::string name);
};

}  // namespace pirell::testing
