// Small result types: a failure the user may meet is a value the caller handles.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace orva {

// Success, or a failure with the text to show (the system's error text where there is one).
struct [[nodiscard]] Status {
  bool ok = true;
  std::string error;

  static Status Ok() { return {}; }
  static Status Fail(std::string text) { return {false, std::move(text)}; }
  explicit operator bool() const { return ok; }
};

// A value, or a failure text.
template <class T>
struct [[nodiscard]] Result {
  std::optional<T> value;
  std::string error;

  static Result Ok(T v) { return {std::move(v), {}}; }
  static Result Fail(std::string text) { return {std::nullopt, std::move(text)}; }
  bool ok() const { return value.has_value(); }
  explicit operator bool() const { return ok(); }
  T& operator*() { return *value; }
  const T& operator*() const { return *value; }
  T* operator->() { return &*value; }
  const T* operator->() const { return &*value; }
};

}  // namespace orva
