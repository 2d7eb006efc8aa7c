#include "app/console_observer.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace bgconv::cli {

ConsoleObserver::ConsoleObserver(std::ostream& err, bool terminal, bool quiet, std::size_t rows)
    : err_(err), terminal_(terminal && !quiet), quiet_(quiet), rows_(rows) {}

void ConsoleObserver::ShowProgress(std::string_view title) {
  title_ = std::string(title);
  shown_ = true;
  Draw();
}

void ConsoleObserver::UpdateProgress(int percent) {
  percent_ = percent;
  Draw();
}

void ConsoleObserver::UpdateProgressTitle(std::string_view title) {
  ++row_;
  title_ = std::string(title);
  Draw();
}

void ConsoleObserver::HideProgress() {
  Clear();
  shown_ = false;
  err_.flush();
}

void ConsoleObserver::Log(std::string_view line) {
  if (quiet_) return;
  Clear();
  err_ << line << '\n';
  Draw();
}

void ConsoleObserver::ShowMessage(std::string_view text) {
  Clear();
  err_ << "bgconv: " << text << '\n';
  Draw();
}

void ConsoleObserver::Clear() {
  if (terminal_ && drawn_) err_ << "\r\033[K";
  drawn_ = false;
}

void ConsoleObserver::Draw() {
  if (!terminal_ || !shown_) return;
  constexpr int kBarWidth = 24;
  const int filled = std::clamp(percent_, 0, 100) * kBarWidth / 100;
  std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " + std::to_string(row_) +
                     "/" + std::to_string(rows_) + " " + title_;
  if (line.size() > Width()) line.resize(Width());
  err_ << "\r\033[K" << line << std::flush;
  drawn_ = true;
}

std::size_t ConsoleObserver::Width() const {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) return size.ws_col - 1u;
  return 79;
}

}  // namespace bgconv::cli
