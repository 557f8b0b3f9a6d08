// The circuit model as a whole: its idle operating point, the start of a new instance, its
// nonlinearity, and the invariants of the processing frame.
#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <limits>

#include "model/AmpModel.h"
#include "model/ParameterIndex.h"
#include "model/ResamplingFilter.h"
#include "tests/native/model/Signal.h"

namespace {

using measure::render;

std::vector<float> silence(int n) {
  return std::vector<float>(n, 0.0f);
}

// The twelve predicted table voltages, each as its range over many steps: the power block's
// s4 alternates in sign from step to step (a ripple at half the internal rate), so single steps
// differ.
struct Span {
  float lo[12], hi[12];
};

Span predictionSpan(AmpModel& m, const std::vector<float>& params) {
  Span s;
  for (int k = 0; k < 12; ++k) s.lo[k] = 1e30f, s.hi[k] = -1e30f;
  float zero[2] = {0.0f, 0.0f}, out[2];
  const float* inputs[2] = {&zero[0], &zero[1]};
  float* outputs[2] = {&out[0], &out[1]};
  for (int i = 0; i < 200; ++i) {
    m.processReplacing(inputs, outputs, 1, params.data(), true, nullptr, nullptr);
    const CircuitState& c = m.state().channel[0].circuit;
    for (int k = 0; k < 12; ++k) {
      const float v = k < 4 ? c.preamp.prediction[k] : c.power.prediction[k - 4];
      s.lo[k] = std::fmin(s.lo[k], v);
      s.hi[k] = std::fmax(s.hi[k], v);
    }
  }
  return s;
}

TEST(IdleOperatingPoint, SilenceSettlesToAFinitePointTheResetAlsoReaches) {
  AmpModel fresh;
  const std::vector<float> params = measure::defaultParams();
  render(fresh, silence(44100), silence(44100), params);

  AmpModel reset;
  reset.initModel();  // the all-zero reset: the circuit has to find its operating point itself
  render(reset, silence(3 * 44100), silence(3 * 44100), params);

  const CircuitState& a = fresh.state().channel[0].circuit;
  const CircuitState& b = reset.state().channel[0].circuit;
  const float* pa = reinterpret_cast<const float*>(&a);
  for (size_t k = 0; k < sizeof(CircuitState) / sizeof(float); ++k) ASSERT_TRUE(std::isfinite(pa[k])) << k;
  EXPECT_NEAR(a.power.supply, b.power.supply, 0.5f);
  EXPECT_GT(a.power.supply, 200.0f);
  EXPECT_LT(a.power.supply, 400.0f);

  const Span sa = predictionSpan(fresh, params);
  const Span sb = predictionSpan(reset, params);
  const char* names[] = {"p1x", "p1c", "p2x", "p2c", "p3x", "p3c", "p4x", "p4c", "p5x", "p5c", "p6x", "p6c"};
  const float lo[] = {-4, 50, 5, 100, -30, 200, -15, 200, -70, 100, -70, 100};
  const float hi[] = {20, 200, 45, 300, 50, 400, 40, 400, -45, 400, -45, 400};
  std::cout << "idle: supply node S = " << a.power.supply << " V, feedback z = " << a.power.feedback << "\n";
  for (int k = 0; k < 12; ++k) {
    ASSERT_TRUE(std::isfinite(sa.lo[k]) && std::isfinite(sa.hi[k])) << names[k];
    // Both starts reach the same point: their spans overlap (within 1 % of the axis).
    const float slack = 0.01f * (hi[k] - lo[k]);
    EXPECT_LE(sa.lo[k], sb.hi[k] + slack) << names[k];
    EXPECT_LE(sb.lo[k], sa.hi[k] + slack) << names[k];
    std::cout << "idle: " << names[k] << " = " << sa.lo[k] << " .. " << sa.hi[k] << " V (table " << lo[k]
              << " .. " << hi[k] << ")"
              << (sa.lo[k] <= lo[k] || sa.hi[k] >= hi[k] ? " reaches the table edge" : "") << "\n";
  }
}

TEST(NewInstance, FedSilenceStaysBelowMinusSixtyDecibelsFromItsFirstSample) {
  for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
    AmpModel m;
    m.updateCoefficients(0.5f, 192000.0f, rate);
    const measure::Stereo out = render(m, silence(24000), silence(24000), measure::defaultParams());
    EXPECT_LT(measure::peak(out.left), 1e-3f) << rate;
    EXPECT_LT(measure::peak(out.right), 1e-3f) << rate;
  }
  // Also when the host's first settings move the idle point (supply feedback, output tap), at
  // full volume.
  for (float supply : {0.0f, 1.0f}) {
    for (float tap : {0.0f, 0.005f, 0.01f, 1.0f}) {
      std::vector<float> p = measure::defaultParams();
      p[kParamVolume] = 1.0f;
      p[kParamPowerSupply] = supply;
      p[kParamOutputTap] = tap;
      AmpModel m;
      const measure::Stereo out = render(m, silence(44100), silence(44100), p);
      EXPECT_LT(measure::peak(out.left), 1e-3f) << supply << " " << tap;
    }
  }
  // What the settled start avoids: the all-zero reset jumps to its operating point audibly.
  AmpModel reset;
  reset.initModel();
  EXPECT_GT(measure::peak(render(reset, silence(4410), silence(4410), measure::defaultParams()).left), 0.1f);
}

struct Drive {
  std::vector<double> thd;
  float peak;
};

Drive driveSeries(float outputTap) {
  Drive d{{}, 0.0f};
  for (float gain : {0.0f, 0.5f, 1.0f}) {
    AmpModel m;
    m.setHostRate(48000.0f);
    std::vector<float> p = measure::defaultParams();
    p[kParamGain] = gain;
    p[kParamVolume] = 1.0f;
    p[kParamOutputTap] = outputTap;
    const std::vector<float> in = measure::sine(1000.0, 48000.0, 48000, 0.5);
    const measure::Stereo out = render(m, in, in, p);
    for (float v : out.left) EXPECT_TRUE(std::isfinite(v));
    d.peak = std::fmax(d.peak, measure::peak(out.left));
    d.thd.push_back(measure::thd(measure::harmonics(out.left, 1000.0, 48000.0, 24000, 48000, 10)));
  }
  return d;
}

TEST(Distortion, SinesStayBoundedAndHarmonicsRiseWithGain) {
  for (float tap : {0.0f, 1.0f}) {
    const Drive d = driveSeries(tap);
    std::cout << "THD at 1 kHz, tap " << tap << ", gain 0 / 0.5 / 1: " << d.thd[0] * 100 << " % / "
              << d.thd[1] * 100 << " % / " << d.thd[2] * 100 << " %, peak " << d.peak << "\n";
    EXPECT_LT(d.thd[0], d.thd[1]) << tap;
    EXPECT_LT(d.thd[1], d.thd[2]) << tap;
    EXPECT_LT(d.peak, 20.0f) << tap;
  }
}

// The cabinet sits before the power switch: a cabinet on changes nothing of this (the odd rates
// take it on).
TEST(PowerSwitch, OffPassesTheInputDelayedByTheReportedLatencyBitForBitEvenInPlace) {
  for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
    const int delay = AmpModel::reportedDelay(rate);
    AmpModel m;
    m.setHostRate(rate);
    m.cabinet().setRate(rate);
    std::vector<float> p = measure::defaultParams();
    p[kParamPower] = 0.5f;
    p[kParamCab] = rate == 48000.0f ? 0.0f : 0.2f;
    std::vector<float> a = measure::sine(440.0, rate, 3000, 0.9);
    std::vector<float> b = measure::sine(97.0, rate, 3000, 1.5);
    a[10] = std::numeric_limits<float>::quiet_NaN();
    b[11] = std::numeric_limits<float>::infinity();
    b[12] = -0.0f;
    const measure::Stereo out = render(m, a, b, p);
    for (int i = 0; i < delay; ++i) ASSERT_EQ(out.left[i], 0.0f) << rate;
    const size_t n = a.size() - delay;
    EXPECT_EQ(0, std::memcmp(out.left.data() + delay, a.data(), n * sizeof(float))) << rate;
    EXPECT_EQ(0, std::memcmp(out.right.data() + delay, b.data(), n * sizeof(float))) << rate;

    std::vector<float> l = a, r = b;
    const float* inputs[2] = {l.data(), r.data()};
    float* outputs[2] = {l.data(), r.data()};
    m.processReplacing(inputs, outputs, static_cast<int32_t>(l.size()), p.data(), true, nullptr, nullptr);
    EXPECT_EQ(0, std::memcmp(l.data() + delay, a.data(), n * sizeof(float))) << rate;
    EXPECT_EQ(0, std::memcmp(r.data() + delay, b.data(), n * sizeof(float))) << rate;

    // Switched off while playing: once the crossfade has passed, the delayed input again.
    AmpModel playing;
    playing.setHostRate(rate);
    render(playing, a, b, measure::defaultParams());
    const measure::Stereo later = render(playing, a, b, p);
    const size_t from = static_cast<size_t>(0.011f * rate);
    EXPECT_EQ(
        0, std::memcmp(later.left.data() + from, a.data() + from - delay, (a.size() - from) * sizeof(float)))
        << rate;
  }
}

// Switching while playing, at the rates hosts use: with silence going in nothing is heard, and
// with a tone no sample-to-sample step stands above the steps of the tone as the model plays it
// in either setting.
TEST(Switching, NoThumpOnSilenceAndNoStepAboveTheSignal) {
  struct Change {
    const char* name;
    int index;
    float from, to;
  };
  // The cabinet's steps: 0 off, 0.2 to 0.8 the built-in ones, 1 the user's (none loaded: off).
  const Change changes[] = {
      {"supply on", kParamPowerSupply, 0, 1},  {"supply off", kParamPowerSupply, 1, 0},
      {"tap to power", kParamOutputTap, 0, 1}, {"tap to preamp", kParamOutputTap, 1, 0},
      {"power off", kParamPower, 1, 0},        {"power on", kParamPower, 0, 1},
      {"cab on", kParamCab, 0, 0.2f},          {"cab to cab", kParamCab, 0.2f, 0.8f},
      {"cab off", kParamCab, 0.6f, 0},         {"cab to empty user", kParamCab, 0.4f, 1}};
  auto largestStep = [](const std::vector<float>& y, size_t from) {
    float step = 0.0f;
    for (size_t i = from + 1; i < y.size(); ++i) step = std::fmax(step, std::fabs(y[i] - y[i - 1]));
    return step;
  };
  for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
    const int before = static_cast<int>(0.05f * rate), after = static_cast<int>(0.1f * rate);
    const std::vector<float> tone = measure::sine(1000.0, rate, before + after, 0.5);
    const std::vector<float> toneBefore(tone.begin(), tone.begin() + before);
    const std::vector<float> toneAfter(tone.begin() + before, tone.end());
    for (const Change& c : changes) {
      std::vector<float> p = measure::defaultParams();
      p[c.index] = c.from;
      std::vector<float> q = p;
      q[c.index] = c.to;

      AmpModel quiet;
      quiet.setHostRate(rate);
      quiet.cabinet().setRate(rate);
      render(quiet, silence(before), silence(before), p);
      EXPECT_LT(measure::peak(render(quiet, silence(after), silence(after), q).left), 1e-3f)
          << c.name << " " << rate;

      float steady = 0.0f;
      for (const std::vector<float>* setting : {&p, &q}) {
        AmpModel undisturbed;
        undisturbed.setHostRate(rate);
        undisturbed.cabinet().setRate(rate);
        render(undisturbed, toneBefore, toneBefore, *setting);
        steady = std::fmax(steady, largestStep(render(undisturbed, toneAfter, toneAfter, *setting).left, 0));
      }
      AmpModel switched;
      switched.setHostRate(rate);
      switched.cabinet().setRate(rate);
      std::vector<float> out = render(switched, toneBefore, toneBefore, p).left;
      const std::vector<float> rest = render(switched, toneAfter, toneAfter, q).left;
      out.insert(out.end(), rest.begin(), rest.end());
      EXPECT_LT(largestStep(out, before / 2), 1.05f * steady) << c.name << " " << rate;
    }
  }
}

// The dry share is the up-sampled signal divided by the gain, which reaches the circuit a few
// samples after it is applied; a gain change must not leave the two out of step.
TEST(GainChange, NeverLouderThanTheLouderSettingAtAnyMixOrBlockSize) {
  const int n = 44100;
  const std::vector<float> in = measure::sine(1000.0, 44100.0, n, 1.0);
  for (float mix : {0.0f, 0.5f, 0.8f}) {
    std::vector<float> p = measure::defaultParams();
    p[kParamMix] = mix;
    float louder = 0.0f;
    for (float gain : {0.0f, 1.0f}) {
      AmpModel steady;
      p[kParamGain] = gain;
      louder = std::fmax(louder, measure::peak(render(steady, in, in, p).left, n / 2));
    }
    for (int block : {1, 64, 512}) {
      // The gain toggles between its ends every 50 ms.
      AmpModel m;
      std::vector<float> out(n);
      for (int at = 0; at < n; at += block) {
        const int count = std::min(block, n - at);
        p[kParamGain] = (at / 2205) % 2 == 0 ? 1.0f : 0.0f;
        const float* inputs[2] = {in.data() + at, in.data() + at};
        float* outputs[2] = {out.data() + at, out.data() + at};
        m.processReplacing(inputs, outputs, count, p.data(), false, nullptr, nullptr);
      }
      EXPECT_LT(measure::db(measure::peak(out, 2205) / louder), 1.0) << "mix " << mix << " block " << block;
    }
  }
}

// Values automated block by block must not step: a 1 kHz tone under a volume or mix ramp,
// updated every 512 samples, carries no sidebands at the block rate.
TEST(Automation, BlockWiseRampsLeaveNoZipperSidebands) {
  const double rate = 44100.0;
  const int n = 44100, block = 512;
  const std::vector<float> in = measure::sine(1000.0, rate, n, 0.5);
  auto hannAmplitude = [&](const std::vector<float>& y, double f, int from, int to) {
    double re = 0, im = 0, ws = 0;
    for (int i = from; i < to; ++i) {
      const double w = 0.5 - 0.5 * std::cos(2.0 * measure::kPi * (i - from) / (to - from - 1));
      re += w * y[i] * std::cos(2.0 * measure::kPi * f * i / rate);
      im += w * y[i] * std::sin(2.0 * measure::kPi * f * i / rate);
      ws += w;
    }
    return 2.0 * std::hypot(re, im) / ws;
  };
  for (int index : {kParamVolume, kParamMix}) {
    AmpModel m;
    std::vector<float> p = measure::defaultParams();
    p[kParamMix] = 0.8f;
    std::vector<float> out(n);
    for (int at = 0; at < n; at += block) {
      const int count = std::min(block, n - at);
      p[index] = 0.3f + 0.4f * static_cast<float>(at) / n;
      const float* inputs[2] = {in.data() + at, in.data() + at};
      float* outputs[2] = {out.data() + at, out.data() + at};
      m.processReplacing(inputs, outputs, count, p.data(), false, nullptr, nullptr);
    }
    const double tone = hannAmplitude(out, 1000.0, n / 8, n);
    for (double side : {1000.0 - rate / block, 1000.0 + rate / block}) {
      EXPECT_LT(measure::db(hannAmplitude(out, side, n / 8, n) / tone), -80.0) << index << " " << side;
    }
  }
}

// A mono track (second input unconnected) plays channel 1's sound on both outputs.
TEST(SecondChannel, InactiveCopiesChannelOneToOutputTwoWhileMeterTwoFollowsInputTwo) {
  AmpModel m;
  const std::vector<float> in1 = measure::sine(200.0, 44100.0, 512, 0.001);
  const std::vector<float> in2 = measure::sine(1000.0, 44100.0, 512, 0.5);
  std::vector<float> out1(512), out2(512, 0.123f);
  const float* inputs[2] = {in1.data(), in2.data()};
  float* outputs[2] = {out1.data(), out2.data()};
  float meter1 = -1, meter2 = -1;
  const std::vector<float> p = measure::defaultParams();
  m.processReplacing(inputs, outputs, 512, p.data(), false, &meter1, &meter2);
  EXPECT_EQ(0, std::memcmp(out1.data(), out2.data(), out1.size() * sizeof(float)));
  EXPECT_LT(meter1, 0.5f);
  EXPECT_GT(meter2, 0.5f);
  // A block of no samples writes nothing and publishes silent meters.
  m.processReplacing(inputs, outputs, 0, p.data(), true, &meter1, &meter2);
  EXPECT_EQ(meter1, 0.0f);
  EXPECT_EQ(meter2, 0.0f);
  // Full scale at full gain (once the gain has moved there) pins the meter.
  std::vector<float> full(4096, 1.0f), wide(4096), wide2(4096);
  const float* loud[2] = {full.data(), full.data()};
  float* wideOutputs[2] = {wide.data(), wide2.data()};
  std::vector<float> q = p;
  q[kParamGain] = 1.0f;
  m.processReplacing(loud, wideOutputs, 4096, q.data(), true, &meter1, &meter2);
  EXPECT_EQ(meter1, 1.0f);
}

TEST(SecondChannel, InactiveCircuitRestsWhileItsDownSamplerFollowsChannelOne) {
  // A fresh model starts with both channels in the same idle state. With one channel active,
  // channel 2's down-sampler is fed channel 1's circuit output (so it stays equal to channel 1's)
  // whatever input 2 carries, and channel 2's circuit does not move.
  AmpModel m;
  const CircuitState before = m.state().channel[1].circuit;
  const std::vector<float> in1 = measure::sine(220.0, 44100.0, 2048, 0.8);
  const std::vector<float> in2 = measure::sine(3100.0, 44100.0, 2048, 0.6);
  std::vector<float> out1(2048), out2(2048);
  const float* inputs[2] = {in1.data(), in2.data()};
  float* outputs[2] = {out1.data(), out2.data()};
  const std::vector<float> p = measure::defaultParams();
  m.processReplacing(inputs, outputs, 2048, p.data(), false, nullptr, nullptr);
  const CircuitState& c1 = m.state().channel[0].circuit;
  const CircuitState& c2 = m.state().channel[1].circuit;
  EXPECT_EQ(0, std::memcmp(&c1.downsampler, &c2.downsampler, sizeof(c1.downsampler)));
  EXPECT_EQ(c1.lastOut, c2.lastOut);
  EXPECT_NE(0, std::memcmp(&c1.upsampler, &c2.upsampler, sizeof(c1.upsampler)))
      << "input 2 still feeds its own";
  EXPECT_EQ(0, std::memcmp(&before.preamp, &c2.preamp, sizeof(before.preamp)));
  EXPECT_EQ(0, std::memcmp(&before.power, &c2.power, sizeof(before.power)));
}

// A driven stereo signal with every switch on, to exercise all paths.
std::vector<float> drivenParams() {
  std::vector<float> p = measure::defaultParams();
  p[kParamGain] = 0.9f;
  p[kParamMix] = 0.8f;
  p[kParamInputTransformer] = 0.01f;
  p[kParamOutputTransformer] = 0.01f;
  p[kParamPowerSupply] = 1.0f;
  return p;
}

TEST(Frame, SameOutputForAnySplitIntoBlocks) {
  const std::vector<float> in1 = measure::sine(330.0, 44100.0, 4000, 0.8);
  const std::vector<float> in2 = measure::sine(1234.0, 44100.0, 4000, 0.3);
  const std::vector<float> p = drivenParams();
  for (bool stereo : {true, false}) {
    AmpModel whole;
    const measure::Stereo expected = render(whole, in1, in2, p, stereo, 4000);
    AmpModel split;
    measure::Stereo got{std::vector<float>(4000), std::vector<float>(4000)};
    const int sizes[] = {1, 17, 64, 255, 3, 512, 31};
    size_t at = 0;
    for (int k = 0; at < in1.size(); ++k) {
      const int n = static_cast<int>(std::min<size_t>(sizes[k % 7], in1.size() - at));
      const float* inputs[2] = {in1.data() + at, in2.data() + at};
      float* outputs[2] = {got.left.data() + at, got.right.data() + at};
      split.processReplacing(inputs, outputs, n, p.data(), stereo, nullptr, nullptr);
      at += n;
    }
    EXPECT_EQ(0, std::memcmp(expected.left.data(), got.left.data(), 4000 * sizeof(float))) << stereo;
    EXPECT_EQ(0, std::memcmp(expected.right.data(), got.right.data(), 4000 * sizeof(float))) << stereo;
  }
}

TEST(Frame, BothChannelsAtOnceEqualOneChannelAlone) {
  // Stereo runs both channels' circuits in the vector lanes; mono runs channel 1's circuit in both
  // (the second lane a copy fed channel 1's signal). Channel 1 must come out identical whatever
  // the other lane carries, for every tap and supply setting.
  const std::vector<float> in1 = measure::sine(220.0, 48000.0, 6000, 0.9);
  const std::vector<float> in2 = measure::sine(3000.0, 48000.0, 6000, 0.2);
  for (float tap : {0.0f, 0.01f, 1.0f}) {
    std::vector<float> p = drivenParams();
    p[kParamOutputTap] = tap;
    AmpModel a, b;
    a.setHostRate(48000.0f);
    b.setHostRate(48000.0f);
    const measure::Stereo stereo = render(a, in1, in2, p, true);
    const measure::Stereo mono = render(b, in1, in2, p, false);
    for (size_t i = 0; i < in1.size(); ++i) ASSERT_EQ(stereo.left[i], mono.left[i]) << tap << " " << i;
  }
}

TEST(Frame, EveryInstructionSetGivesTheSameOutput) {
  AmpModel probe;
  if (!probe.useInstructionSet(AmpModel::InstructionSet::kAvx)) GTEST_SKIP() << "no AVX here";
  EXPECT_EQ(AmpModel::InstructionSet::kAvx, AmpModel().instructionSet())
      << "a new model takes AVX when it can";
  // Driven hard, at both taps, with NaN and absurd samples in the middle: the rare branches too.
  std::vector<float> in1 = measure::sine(110.0, 48000.0, 8000, 2.0);
  std::vector<float> in2 = measure::sine(2500.0, 48000.0, 8000, 0.5);
  in1[3000] = std::numeric_limits<float>::quiet_NaN();
  in2[3001] = 1e30f;
  for (float tap : {0.0f, 1.0f}) {
    std::vector<float> p = drivenParams();
    p[kParamOutputTap] = tap;
    AmpModel baseline, avx;
    ASSERT_TRUE(baseline.useInstructionSet(AmpModel::InstructionSet::kBaseline));
    ASSERT_TRUE(avx.useInstructionSet(AmpModel::InstructionSet::kAvx));
    const measure::Stereo a = render(baseline, in1, in2, p, true);
    const measure::Stereo b = render(avx, in1, in2, p, true);
    EXPECT_EQ(0, std::memcmp(a.left.data(), b.left.data(), a.left.size() * sizeof(float))) << tap;
    EXPECT_EQ(0, std::memcmp(a.right.data(), b.right.data(), a.right.size() * sizeof(float))) << tap;
  }
}

TEST(Frame, NonFiniteAndAbsurdInputGiveFiniteOutputAndTheModelRecovers) {
  const std::vector<float> p = drivenParams();
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(),
                       1e30f,
                       -1e30f,
                       3.4e38f};
  AmpModel damaged, reference;
  for (float v : bad) {
    const std::vector<float> block(512, v);
    const measure::Stereo out = render(damaged, block, block, p);
    for (size_t i = 0; i < 512; ++i)
      ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << v;
    render(reference, silence(512), silence(512), p);
  }
  const std::vector<float> in = measure::sine(500.0, 44100.0, 44100, 0.3);
  const measure::Stereo got = render(damaged, in, in, p);
  const measure::Stereo want = render(reference, in, in, p);
  for (float v : got.left) ASSERT_TRUE(std::isfinite(v));
  const double a = measure::fitTone(got.left, 500.0, 44100.0, 22050, 44100).amplitude;
  const double b = measure::fitTone(want.left, 500.0, 44100.0, 22050, 44100).amplitude;
  EXPECT_NEAR(measure::db(a / b), 0.0, 0.5);
}

// A loud signal, then silence, with the host's flush-to-zero and denormals-are-zero off: no value
// of the channels' state is subnormal afterwards, where each operation on it would cost many
// cycles on many processors. Neither the output (the dither keeps it far from zero) nor the time
// per block on this machine's processor shows it: without the dither and the processing's own
// flush-to-zero, 54 values sit subnormal for good, and a block took as long as before.
TEST(Frame, SilentTailLeavesNoSubnormalInTheState) {
  const unsigned host = _mm_getcsr();
  _mm_setcsr(host & ~(0x8000u | 0x0040u));
  AmpModel m;
  const std::vector<float> p = drivenParams();
  const std::vector<float> loud = measure::sine(82.4, 44100.0, 44100, 1.0);
  render(m, loud, loud, p);
  render(m, silence(2 * 44100), silence(2 * 44100), p);
  _mm_setcsr(host);
  const float* values = reinterpret_cast<const float*>(m.state().channel);
  int subnormal = 0;
  for (size_t k = 0; k < 2 * sizeof(ChannelState) / sizeof(float); ++k)
    subnormal += std::fpclassify(values[k]) == FP_SUBNORMAL;
  EXPECT_EQ(subnormal, 0);
}

TEST(Frame, NullBuffersAndParametersAreRefused) {
  AmpModel m;
  std::vector<float> buf(16, 0.25f);
  const float* inputs[2] = {buf.data(), nullptr};
  float* outputs[2] = {buf.data(), buf.data()};
  float meter = -1;
  const std::vector<float> p = measure::defaultParams();
  m.processReplacing(nullptr, outputs, 16, p.data(), true, &meter, nullptr);
  m.processReplacing(inputs, outputs, 16, p.data(), true, &meter, nullptr);
  m.processReplacing(inputs, nullptr, 16, p.data(), true, nullptr, &meter);
  const float* both[2] = {buf.data(), buf.data()};
  m.processReplacing(both, outputs, 16, nullptr, true, &meter, &meter);
  EXPECT_EQ(meter, 0.0f);
  for (float v : buf) EXPECT_EQ(v, 0.25f);
}

TEST(Coefficients, UnusableRatesAreIgnoredAndToneTakesEffect) {
  const std::vector<float> in = measure::sine(5000.0, 44100.0, 8820, 0.5);
  const std::vector<float> p = measure::defaultParams();
  AmpModel plain, checked;
  checked.setHostRate(std::numeric_limits<float>::quiet_NaN());
  checked.setHostRate(0.0f);
  checked.setHostRate(-48000.0f);
  checked.updateCoefficients(std::numeric_limits<float>::quiet_NaN(), 0.0f,
                             std::numeric_limits<float>::infinity());
  const measure::Stereo a = render(plain, in, in, p);
  const measure::Stereo b = render(checked, in, in, p);
  EXPECT_EQ(0, std::memcmp(a.left.data(), b.left.data(), in.size() * sizeof(float)));

  AmpModel dark;
  dark.updateCoefficients(0.0f, 192000.0f, 44100.0f);
  const measure::Stereo c = render(dark, in, in, p);
  const double bright = measure::fitTone(a.left, 5000.0, 44100.0, 4410, 8820).amplitude;
  const double dull = measure::fitTone(c.left, 5000.0, 44100.0, 4410, 8820).amplitude;
  EXPECT_LT(measure::db(dull / bright), -6.0);
}

}  // namespace
