#pragma once
// Developer diagnostics: texts that say why something quietly did not work,
// such as a form file that could not be decoded.  The sender gets nothing
// back; each receiver decides where the texts go (bgconv: standard error,
// the window: its log).

#include <iosfwd>
#include <string_view>

namespace bgconv {

class DebugChannel {
 public:
  virtual ~DebugChannel() = default;
  virtual void Send(std::string_view text) = 0;
};

// Writes every text as one line, after `prefix`, to a stream.
class StreamDebugChannel : public DebugChannel {
 public:
  StreamDebugChannel(std::ostream& out, std::string_view prefix) : out_(out), prefix_(prefix) {}
  void Send(std::string_view text) override;

 private:
  std::ostream& out_;
  std::string_view prefix_;
};

}  // namespace bgconv
