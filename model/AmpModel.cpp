#include "model/AmpModel.h"

// First version: the interface only, so the effect can link while the model is written.
AmpModel::AmpModel() {}

void AmpModel::initModel() {}

void AmpModel::resetToIdle() {}

void AmpModel::updateCoefficients(float, float, float) {}

void AmpModel::setHostRate(float) {}

void AmpModel::processReplacing(const float* const* inputs, float* const* outputs, int32_t sampleFrames,
                                const float*, bool secondChannelActive, float* meterLevel1,
                                float* meterLevel2) {
  for (int32_t i = 0; i < sampleFrames; ++i) {
    outputs[0][i] = inputs[0][i];
    if (secondChannelActive) outputs[1][i] = inputs[1][i];
  }
  if (meterLevel1) *meterLevel1 = 0.0f;
  if (meterLevel2) *meterLevel2 = 0.0f;
}
