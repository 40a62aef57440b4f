#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace pirell::cli {

// The progress of a long print job on a terminal: the driver's report of the labels sent
// ("Отправлено этикеток: N из M") with the labels per second, redrawn in place once the job has
// run for a second. Nothing at all is written where the output is no terminal.
class ProgressLine {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // Starts the job's time now.
  ProgressLine(std::FILE* out, bool terminal, Clock clock = std::chrono::steady_clock::now);
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // A progress report of the driver (the description of its "TaskState").
  void Report(const std::string& description);
  // Ends a line that was drawn.
  void Finish();

 private:
  std::FILE* out_;
  bool terminal_;
  Clock clock_;
  std::chrono::steady_clock::time_point start_;
  bool drawn_ = false;
};

}  // namespace pirell::cli
