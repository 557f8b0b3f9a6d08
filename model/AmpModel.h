// The amplifier circuit model as one object: the host-rate processing frame around the
// internal-rate circuit (tone low-pass, preamp block, power block), with the filter
// coefficients and every per-channel state. Platform-free; the effect owns one per instance.
#pragma once

#include <cstdint>

class AmpModel {
 public:
  // Any thread (the effect's constructor). The valve tables are built once per process and
  // shared; the model starts in the settled idle state of the default settings (computed once
  // per process and copied), so a new instance emits no start-up burst. The effect therefore
  // need not call initModel at construction: doing so would bring the burst back.
  AmpModel();

  // Dispatcher thread. Resets every model state to the circuit's reset values (all zero, the
  // supply node at 270 V, the phase at 0); the host period is kept. Not needed at construction.
  void initModel();

  // Dispatcher thread. Like initModel, but lands in the settled idle state instead of the
  // all-zero one (what a fresh instance starts from).
  void resetToIdle();

  // Dispatcher thread (setParameter of the tone, setSampleRate, construction). Recomputes the
  // tone low-pass from tone (0..1) and internalRate, and the 100 Hz sections from hostRate.
  // Non-finite or out-of-range values are ignored or clamped. Lock-free for the audio thread:
  // it never sees a half-updated set.
  void updateCoefficients(float tone, float internalRate, float hostRate);

  // Dispatcher thread (setSampleRate). The host period follows the host rate, so the internal
  // clock stays at 192 kHz for every host rate (1 kHz .. 10 MHz accepted; others ignored).
  void setHostRate(float hostRate);

  // Audio thread. inputs[0..1], outputs[0..1] hold sampleFrames samples and may alias. params
  // are the eleven live parameter values (model/ParameterIndex.h). When secondChannelActive is
  // false outputs[1] is not touched. The block's meter peaks (0..1) are stored through
  // meterLevel1/2. Allocates nothing, locks nothing.
  void processReplacing(const float* const* inputs, float* const* outputs, int32_t sampleFrames,
                        const float* params, bool secondChannelActive, float* meterLevel1,
                        float* meterLevel2);
};
