#pragma once
// Owner of one POSIX file descriptor: closed exactly once, when the owner goes.

#include <unistd.h>

#include <utility>

class TUniqueFd {
 public:
  TUniqueFd() = default;
  explicit TUniqueFd(int Fd) : fd_(Fd) {}
  TUniqueFd(TUniqueFd&& Other) noexcept : fd_(std::exchange(Other.fd_, -1)) {}
  TUniqueFd& operator=(TUniqueFd&& Other) noexcept {
    if (this != &Other) Reset(std::exchange(Other.fd_, -1));
    return *this;
  }
  TUniqueFd(const TUniqueFd&) = delete;
  TUniqueFd& operator=(const TUniqueFd&) = delete;
  ~TUniqueFd() { Reset(); }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Gives up ownership without closing.
  int Release() { return std::exchange(fd_, -1); }
  void Reset(int Fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = Fd;
  }
  // Closes now; false (with errno set) when close(2) fails, which is where a delayed write error may show.
  bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_ = -1;
};
