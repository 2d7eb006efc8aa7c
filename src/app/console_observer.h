#pragma once
// The conversion run's log on standard error, for bgconv convert.  On a
// terminal the last line is a progress bar that every log line pushes down.

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

#include "workspace/conversion_run.h"

namespace bgconv::cli {

class ConsoleObserver : public ConversionObserver {
 public:
  // `terminal`: standard error is a terminal, so the bar is drawn; `quiet`:
  // progress and log lines are left out (messages are not); `rows`: the
  // number of files, for the bar.
  ConsoleObserver(std::ostream& err, bool terminal, bool quiet, std::size_t rows);

  void ShowProgress(std::string_view title) override;
  void UpdateProgress(int percent) override;
  void UpdateProgressTitle(std::string_view title) override;
  void HideProgress() override;
  void Log(std::string_view line) override;
  void ShowMessage(std::string_view text) override;

 private:
  void Clear();
  void Draw();
  std::size_t Width() const;

  std::ostream& err_;
  const bool terminal_;
  const bool quiet_;
  const std::size_t rows_;
  std::size_t row_ = 0;
  int percent_ = 0;
  std::string title_;
  bool shown_ = false;
  bool drawn_ = false;
};

}  // namespace bgconv::cli
