// Indices of the effect's twelve parameters, shared by the effect, the model and the editor.
#pragma once

enum ParameterIndex : int {
  kParamGain = 0,               // input gain ahead of the model
  kParamTone = 1,               // tone low-pass cutoff ahead of the first valve stage
  kParamVolume = 2,             // output level
  kParamMix = 3,                // wet/dry mix
  kParamMeter1 = 4,             // behind the first VU meter; the model does not read it
  kParamMeter2 = 5,             // behind the second VU meter; the model does not read it
  kParamPower = 6,              // above 0.5: processed output; otherwise the input passes
  kParamInputTransformer = 7,   // input-transformer section on/off
  kParamOutputTransformer = 8,  // output-transformer sections on/off
  kParamPowerSupply = 9,        // power-supply sag on/off
  kParamOutputTap = 10,         // output taken from the preamp or the second stage
  kParamCab = 11,               // speaker cabinet: off, a built-in one or the user's response
  kNumParams = 12,
};

enum { kNumPrograms = 50 };
