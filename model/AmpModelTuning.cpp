// The model's coefficient publication: any thread stores a new tone, internal rate or host rate;
// the audio thread computes the coefficients and lengths that follow from them at block entry.
#include <cmath>

#include "model/AmpModel.h"
#include "model/ParameterMapping.h"

namespace {

// How long the changes take, in seconds: a ramped volume or mix, a ramped gain (slower: the
// circuit overshoots while its bias follows a fast large change of drive), a configuration
// change's fade out and again in, the power switch's crossfade.
constexpr float kRampSeconds = 0.01f;
constexpr float kGainRampSeconds = 0.03f;
constexpr float kSwitchFadeSeconds = 0.005f;
constexpr float kBypassFadeSeconds = 0.01f;

int samplesIn(float seconds, float period) {
  const int n = static_cast<int>(seconds / period + 0.5f);
  return n > 1 ? n : 1;
}

}  // namespace

void AmpModel::updateCoefficients(float tone, float internalRate, float hostRate) {
  if (!std::isnan(tone)) tone_.store(parameterValue(tone), std::memory_order_relaxed);
  // The tone corner reaches 20 kHz, which must stay below the internal Nyquist rate.
  if (std::isfinite(internalRate) && internalRate >= 48000.0f && internalRate <= 1e7f) {
    internalRate_.store(internalRate, std::memory_order_relaxed);
  }
  setHostRate(hostRate);
}

void AmpModel::setHostRate(float hostRate) {
  if (acceptsHostRate(hostRate)) hostRate_.store(hostRate, std::memory_order_relaxed);
}

// Audio thread (and the constructor). Each setting is read once, so the set is computed from
// one consistent triple even while other threads store new values.
void AmpModel::retune() {
  const float tone = tone_.load(std::memory_order_relaxed);
  const float internalRate = internalRate_.load(std::memory_order_relaxed);
  const float hostRate = hostRate_.load(std::memory_order_relaxed);
  if (tone == tunedTone_ && internalRate == tunedInternalRate_ && hostRate == tunedHostRate_) return;
  if (tone != tunedTone_ || internalRate != tunedInternalRate_) {
    live_.tone = ToneFilter::coefficients(tone, internalRate);
  }
  if (hostRate != tunedHostRate_) {
    TransformerFilters::peakingPair(hostRate, live_.cut, live_.lift);
    const float period = 1.0f / hostRate;
    live_.hostPeriod = period;
    live_.bypassDelay = reportedDelay(hostRate);
    live_.rampSamples = samplesIn(kRampSeconds, period);
    live_.gainRampSamples = samplesIn(kGainRampSeconds, period);
    live_.switchStep = 1.0f / static_cast<float>(samplesIn(kSwitchFadeSeconds, period));
    live_.bypassStep = 1.0f / static_cast<float>(samplesIn(kBypassFadeSeconds, period));
  }
  tunedTone_ = tone;
  tunedInternalRate_ = internalRate;
  tunedHostRate_ = hostRate;
}
