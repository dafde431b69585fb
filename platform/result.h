#pragma once
// A value or an error with its reason. Portable code returns these; only handlers decide
// whether and how to tell the user.
#include <string>
#include <utility>
#include <variant>

namespace xl {

struct Error {
  std::string message;  // GBK, readable by a user: what failed and the system's reason
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
