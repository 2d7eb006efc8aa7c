#include "platform/debug_channel.h"

#include <ostream>

namespace bgconv {

void StreamDebugChannel::Send(std::string_view text) {
  out_ << prefix_ << text << '\n';
  out_.flush();
}

}  // namespace bgconv
