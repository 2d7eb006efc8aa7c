#pragma once
// A run observer that records everything the run shows, in order.

#include <string>
#include <string_view>
#include <vector>

#include "workspace/conversion_run.h"

namespace bgconv::test_support {

using Events = std::vector<std::string>;

// Everything the run shows, in order, as one text per call.
class RecordingObserver : public ConversionObserver {
 public:
  void ShowProgress(std::string_view title) override { events.push_back("show " + std::string(title)); }
  void UpdateProgress(int percent) override { events.push_back("progress " + std::to_string(percent)); }
  void UpdateProgressTitle(std::string_view title) override { events.push_back("title " + std::string(title)); }
  void HideProgress() override { events.push_back("hide"); }
  void Log(std::string_view line) override { events.push_back("log " + std::string(line)); }
  void ShowMessage(std::string_view text) override { events.push_back("message " + std::string(text)); }
  void RunStarted() override { events.push_back("started"); }
  void RunEnded() override { events.push_back("ended"); }

  Events Logs() const {
    Events logs;
    for (const auto& event : events)
      if (event.rfind("log ", 0) == 0) logs.push_back(event.substr(4));
    return logs;
  }
  Events events;
};

}  // namespace bgconv::test_support
