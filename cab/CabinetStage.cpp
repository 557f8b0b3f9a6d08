#include "cab/CabinetStage.h"

#include <cmath>

#include "cab/UserResponse.h"

CabinetStage::CabinetStage() {
  setRate(44100.0f);
}

// No block runs any more: everything still held on either side is freed here.
CabinetStage::~CabinetStage() {
  while (CabinetBank* bank = banks_.drain()) delete bank;
  while (Convolver* voice = users_.drain()) delete voice;
  delete bank_;
  if (retireAfterFade_ != user_) delete retireAfterFade_;
  delete user_;
}

void CabinetStage::setRate(float rate) {
  if (!(rate >= 1000.0f)) return;
  std::lock_guard<std::mutex> lock(control_);
  serviceLocked();
  if (haveBank_ && rate == rate_) return;
  rate_ = rate;
  haveBank_ = true;
  offerBank(CabinetBank::make(rate));
  if (!source_.empty()) offerUser(prepareUser());
}

bool CabinetStage::setUserResponse(const float* samples, long count, double rate, const char** error) {
  std::lock_guard<std::mutex> lock(control_);
  serviceLocked();
  const std::vector<float> taps = UserResponse::conform(samples, count, rate, rate_, error);
  if (taps.empty()) return false;
  std::unique_ptr<Convolver> voice(new (std::nothrow) Convolver());
  if (voice == nullptr ||
      !voice->prepare(ImpulseResponse::prepare(taps.data(), static_cast<int>(taps.size())))) {
    if (error != nullptr) *error = "there is not enough memory for the impulse response";
    return false;
  }
  try {
    // Only what conform uses is kept (the fade past the cut included): a chunk need not carry more.
    const long used =
        static_cast<long>(std::ceil(rate * (UserResponse::kLongestSeconds + UserResponse::kFadeSeconds)));
    source_.assign(samples, samples + (count < used ? count : used));
  } catch (const std::bad_alloc&) {
    if (error != nullptr) *error = "there is not enough memory for the impulse response";
    return false;
  }
  sourceRate_ = rate;
  offerUser(std::move(voice));
  return true;
}

void CabinetStage::clearUserResponse() {
  std::lock_guard<std::mutex> lock(control_);
  serviceLocked();
  if (source_.empty()) return;
  source_.clear();
  source_.shrink_to_fit();
  sourceRate_ = 0.0;
  // A convolver without a response: the audio thread plays User as off.
  offerUser(std::unique_ptr<Convolver>(new (std::nothrow) Convolver()));
}

bool CabinetStage::userSource(std::vector<float>& samples, double& rate) const {
  std::lock_guard<std::mutex> lock(control_);
  if (source_.empty()) return false;
  samples = source_;
  rate = sourceRate_;
  return true;
}

void CabinetStage::service() {
  std::lock_guard<std::mutex> lock(control_);
  serviceLocked();
}

void CabinetStage::serviceLocked() {
  while (CabinetBank* bank = banks_.reclaim()) delete bank;
  while (Convolver* voice = users_.reclaim()) delete voice;
  if (queuedBank_ != nullptr && banks_.offer(queuedBank_.get())) queuedBank_.release();
  if (queuedUser_ != nullptr && users_.offer(queuedUser_.get())) queuedUser_.release();
}

// Should kCapacity offers still wait (no audio running), the newest waits here for room, in place
// of any older one that waited here (never seen by the audio thread, so it is freed here).
void CabinetStage::offerBank(std::unique_ptr<CabinetBank> bank) {
  if (bank == nullptr) return;
  if (queuedBank_ == nullptr && banks_.offer(bank.get())) {
    bank.release();
  } else {
    queuedBank_ = std::move(bank);
  }
}

void CabinetStage::offerUser(std::unique_ptr<Convolver> voice) {
  if (voice == nullptr) return;
  if (queuedUser_ == nullptr && users_.offer(voice.get())) {
    voice.release();
  } else {
    queuedUser_ = std::move(voice);
  }
}

std::unique_ptr<Convolver> CabinetStage::prepareUser() const {
  const std::vector<float> taps =
      UserResponse::conform(source_.data(), static_cast<long>(source_.size()), sourceRate_, rate_, nullptr);
  std::unique_ptr<Convolver> voice(new (std::nothrow) Convolver());
  if (voice != nullptr && !taps.empty())
    voice->prepare(ImpulseResponse::prepare(taps.data(), static_cast<int>(taps.size())));
  return voice;
}

Convolver* CabinetStage::resolve(int choice) {
  if (choice >= CabinetChoice::kUser)
    return user_ != nullptr && user_->response() != nullptr ? user_ : nullptr;
  if (choice >= CabinetChoice::kFirstBuiltIn && bank_ != nullptr) {
    return bank_->voice(choice - CabinetChoice::kFirstBuiltIn);
  }
  return nullptr;
}

void CabinetStage::startFade(Convolver* target) {
  previous_ = current_;
  current_ = target;
  if (target != nullptr) target->reset();
  fade_ = 0.0f;
  fading_ = true;
}

void CabinetStage::beginBlock(int choice, float hostRate) {
  fadeStep_ = hostRate > 0.0f ? 1.0f / (kFadeSeconds * hostRate) : 1.0f;
  if (fading_) return;  // the running fade ends first
  if (retireAfterFade_ != nullptr) {
    users_.retire(retireAfterFade_);  // its room was kept when the fade began
    retireAfterFade_ = nullptr;
  }
  // New built-in convolvers (a new rate): taken at once; the one that plays starts afresh.
  if (CabinetBank* bank = banks_.takeNewest()) {
    CabinetBank* old = bank_;
    bank_ = bank;
    current_ = resolve(choice_);
    if (current_ != nullptr) current_->reset();
    if (old != nullptr) banks_.retire(old);
  }
  // A new user response: faded to when it replaces the one that plays.
  if (Convolver* voice = users_.takeNewest()) {
    Convolver* old = user_;
    user_ = voice;
    if (old != nullptr && current_ == old) {
      if (!snap_) {
        startFade(resolve(choice_));
        retireAfterFade_ = old;
        return;
      }
      current_ = resolve(choice_);
      if (current_ != nullptr) current_->reset();
    }
    if (old != nullptr) users_.retire(old);
  }
  Convolver* target = resolve(choice);
  if (snap_) {
    snap_ = false;
    choice_ = choice;
    current_ = target;
    if (current_ != nullptr) current_->reset();
    return;
  }
  if (target != current_) {
    choice_ = choice;
    startFade(target);
  } else {
    choice_ = choice;
  }
}

void CabinetStage::process(float* l, float* r, int n, int channels) {
  if (!fading_) {
    if (current_ != nullptr) current_->process(l, r, n, channels);
    return;
  }
  float* a = fadeFrom_[0];
  float* b = channels == 2 ? fadeFrom_[1] : nullptr;
  for (int j = 0; j < n; ++j) a[j] = l[j];
  if (b != nullptr) {
    for (int j = 0; j < n; ++j) b[j] = r[j];
  }
  if (current_ != nullptr) current_->process(l, r, n, channels);
  if (previous_ != nullptr) previous_->process(a, b, n, channels);
  for (int j = 0; j < n && fading_; ++j) {
    float g = fade_ + fadeStep_;
    if (g >= 1.0f) {
      g = 1.0f;
      fading_ = false;
      previous_ = nullptr;
    }
    fade_ = g;
    l[j] = g * l[j] + (1.0f - g) * a[j];
    if (b != nullptr) r[j] = g * r[j] + (1.0f - g) * b[j];
  }
}
