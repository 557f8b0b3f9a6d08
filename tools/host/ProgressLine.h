// A one-line progress display on stderr for long renders. Shown only when stderr is a
// terminal (never in logs or captured test output) and only once a render has run for a
// second; updated a few times a second.
#pragma once

#include <chrono>
#include <cstdint>

class ProgressLine {
 public:
  explicit ProgressLine(int64_t total);
  ~ProgressLine();
  void update(int64_t done);

 private:
  int64_t total_;
  bool enabled_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_;
};
