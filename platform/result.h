#pragma once
// A value or an error with its reason. Portable code returns these; only handlers decide
// whether and how to tell the user.
#include <string>
#include <utility>
#include <variant>

namespace xl {

// What kind of failure an error is, for callers that answer some kinds in their own words
// (platform/errors.h holds the program's reason for each).
enum class Problem {
  Other,     // no words of the program's own: the system's text and code
  NotFound,  // the file or a folder on its path does not exist
  AccessDenied,
  InUse,  // another program holds the file open
  ReadOnly,
  DiskFull,
  PathTooLong,
  FileInTheWay,  // a file stands where a folder is needed
  NetworkGone,
  TooLarge,  // larger than the reader accepts
  BadName,   // a path GBK cannot hold
  DamagedArchive,
};

struct Error {
  std::string message;  // GBK, readable by a user: what failed and why
  Problem problem = Problem::Other;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Error error) : v_(std::move(error)) {}
  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const Error& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, Error> v_;
};

struct Ok {};
using Status = Result<Ok>;
inline Status Success() { return Ok{}; }

}  // namespace xl
