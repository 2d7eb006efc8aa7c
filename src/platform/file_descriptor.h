#pragma once
// A file descriptor that closes itself, and the write loop every replaced
// file goes through.

#include <string_view>

namespace bgconv {

// Closes the descriptor when the scope ends, whatever way it ends.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = other.fd_;
      other.fd_ = -1;
    }
    return *this;
  }
  ~FileDescriptor() { Close(); }
  int get() const { return fd_; }
  // Whether the close succeeded (a late write error shows here).
  bool Close();

 private:
  int fd_;
};

// Writes all of `bytes`, going on after interrupted and partial writes.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace bgconv
