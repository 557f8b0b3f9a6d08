#include "tools/host/ProgressLine.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define KORVALITE_ISATTY _isatty
#define KORVALITE_FILENO _fileno
#else
#include <unistd.h>
#define KORVALITE_ISATTY isatty
#define KORVALITE_FILENO fileno
#endif

namespace {
constexpr auto kDelay = std::chrono::seconds(1);
constexpr auto kInterval = std::chrono::milliseconds(250);
}  // namespace

ProgressLine::ProgressLine(int64_t total)
    : total_(total),
      enabled_(total > 0 && KORVALITE_ISATTY(KORVALITE_FILENO(stderr))),
      start_(std::chrono::steady_clock::now()),
      last_(start_) {}

ProgressLine::~ProgressLine() {
  // Clear the line so what follows starts on a clean one.
  if (shown_) std::fprintf(stderr, "\r%40s\r", "");
}

void ProgressLine::update(int64_t done) {
  if (!enabled_) return;
  auto now = std::chrono::steady_clock::now();
  if (now - start_ < kDelay || now - last_ < kInterval) return;
  last_ = now;
  shown_ = true;
  std::fprintf(stderr, "\rrendering: %3d%%", static_cast<int>(done * 100 / total_));
  std::fflush(stderr);
}
