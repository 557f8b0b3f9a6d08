#include "cab/CabinetBank.h"

#include <mutex>
#include <new>

#include "cab/ImpulseResponse.h"

namespace {

struct Responses {
  float rate = 0.0f;
  std::shared_ptr<const ImpulseResponse> cabinet[CabinetDesign::kBuiltIns];
};

// The last few rates' responses, for every instance of the process (hosts run many at one rate).
// Only control threads come here; the mutex keeps two instances made at once from designing twice.
std::shared_ptr<const Responses> responsesAt(float rate) {
  static std::mutex mutex;
  static std::shared_ptr<const Responses> cache[4];
  static int next = 0;
  std::lock_guard<std::mutex> lock(mutex);
  for (const auto& r : cache) {
    if (r != nullptr && r->rate == rate) return r;
  }
  auto made = std::make_shared<Responses>();
  made->rate = rate;
  for (int c = 0; c < CabinetDesign::kBuiltIns; ++c) {
    const std::vector<float> taps = CabinetDesign::impulse(c, rate);
    made->cabinet[c] = ImpulseResponse::prepare(taps.data(), static_cast<int>(taps.size()));
  }
  cache[next] = made;
  next = (next + 1) % 4;
  return made;
}

}  // namespace

std::unique_ptr<CabinetBank> CabinetBank::make(float rate) {
  try {
    std::unique_ptr<CabinetBank> bank(new CabinetBank());
    bank->rate_ = rate;
    const std::shared_ptr<const Responses> responses = responsesAt(rate);
    for (int c = 0; c < CabinetDesign::kBuiltIns; ++c) {
      bank->ready_[c] = bank->voices_[c].prepare(responses->cabinet[c]);
    }
    return bank;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
