#include "cab/UserResponse.h"

#include <samplerate.h>

#include <cmath>
#include <new>

#include "cab/CabinetDesign.h"
#include "cab/PartitionLayout.h"

std::vector<float> UserResponse::conform(const float* samples, long count, double rate, float hostRate,
                                         const char** error, bool* cut) {
  const char* ignored = nullptr;
  const char*& why = error != nullptr ? *error : ignored;
  if (cut != nullptr) *cut = false;
  if (samples == nullptr || count < 1) {
    why = "the impulse response is empty";
    return {};
  }
  if (!(rate >= kLowestRate && rate <= kHighestRate)) {
    why = "the impulse response's sample rate is outside 8 to 384 kHz";
    return {};
  }
  if (!(hostRate >= 1000.0f)) {
    why = "the host's sample rate is unusable";
    return {};
  }
  for (long n = 0; n < count; ++n) {
    if (!std::isfinite(samples[n])) {
      why = "the impulse response holds samples that are not numbers";
      return {};
    }
  }
  try {
    // Only the first second is used: resample a little more than that, then cut and fade.
    const long keep = static_cast<long>(std::ceil(rate * (kLongestSeconds + kFadeSeconds)));
    const long in = count < keep ? count : keep;
    const double ratio = hostRate / rate;
    long length = static_cast<long>(std::ceil(in * ratio)) + 1;
    std::vector<float> out(static_cast<size_t>(length), 0.0f);
    if (ratio == 1.0) {
      for (long n = 0; n < in; ++n) out[n] = samples[n];
      length = in;
    } else {
      if (src_is_valid_ratio(ratio) == 0) {
        why = "the impulse response's sample rate is too far from the host's";
        return {};
      }
      SRC_DATA data = {};
      data.data_in = samples;
      data.input_frames = in;
      data.data_out = out.data();
      data.output_frames = length;
      data.src_ratio = ratio;
      data.end_of_input = 1;
      if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1) != 0) {
        why = "the impulse response could not be resampled";
        return {};
      }
      length = data.output_frames_gen;
    }
    long longest = static_cast<long>(kLongestSeconds * hostRate);
    longest = longest < PartitionLayout::kMaxTaps ? longest : PartitionLayout::kMaxTaps;
    if (length > longest || count > static_cast<long>(kLongestSeconds * rate)) {
      if (cut != nullptr) *cut = true;
      length = length < longest ? length : longest;
      const long fade = static_cast<long>(kFadeSeconds * hostRate) + 1;
      for (long k = 0; k < fade && k < length; ++k) {
        out[length - 1 - k] *= static_cast<float>(k) / static_cast<float>(fade);
      }
    }
    if (length < 1) {
      why = "the impulse response is empty";
      return {};
    }
    out.resize(static_cast<size_t>(length));
    const float factor = CabinetDesign::loudnessFactor(out.data(), static_cast<int>(length), hostRate);
    if (!(factor > 0.0f) || !std::isfinite(factor)) {
      why = "the impulse response is silent";
      return {};
    }
    for (float& v : out) v *= factor;
    return out;
  } catch (const std::bad_alloc&) {
    why = "there is not enough memory for the impulse response";
    return {};
  }
}
