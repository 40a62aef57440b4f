#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace pirell {

// Tells the host how far a print job has got: "Отправлено этикеток: N из M" with the percentage,
// at most once every kInterval milliseconds of the job, and once more at the end when it told
// anything before, so that a job too short to report stays silent. The host's answer does not
// stop the job; a host that fails to take a report gets no more of them.
class TJobProgress {
 public:
  static constexpr std::uint32_t kInterval = 250;
  // Returns false when the host could not take the report.
  using Report = std::function<bool(std::int32_t percent, const std::string& text)>;

  TJobProgress(std::int64_t total, Report report);

  // `sent` labels (copies counted) have gone to the port.
  void Sent(std::int64_t sent);
  void Done(std::int64_t sent);

 private:
  void Tell(std::int64_t sent);

  std::int64_t total_;
  Report report_;
  std::uint32_t last_tick_;
  bool reported_ = false;
};

// "Отправлено этикеток: N из M".
std::string LabelsSentText(std::int64_t sent, std::int64_t total);

}  // namespace pirell
