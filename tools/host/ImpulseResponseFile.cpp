#include "tools/host/ImpulseResponseFile.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include "effect/StateChunk.h"
#include "model/ParameterIndex.h"
#include "tools/host/AudioFileReader.h"
#include "tools/host/HostError.h"
#include "tools/host/PluginInstance.h"

void loadImpulseResponse(PluginInstance& plugin, const std::string& path) {
  std::error_code error;
  const auto bytes = std::filesystem::file_size(std::filesystem::u8path(path), error);
  if (!error && bytes > 50u * 1024u * 1024u) throw HostError(path + ": an impulse response file over 50 MB");
  AudioFileReader reader(path);
  const double rate = reader.sampleRate();
  if (rate < 8000.0 || rate > 384000.0) {
    throw HostError(path + ": the impulse response's sample rate is outside 8 to 384 kHz");
  }
  // The plug-in uses the first second (and the 10 ms its fade needs): only that is read.
  const int64_t wanted = static_cast<int64_t>(std::ceil(rate * 1.01));
  const int64_t frames = reader.frames() < wanted ? reader.frames() : wanted;
  if (frames < 1) throw HostError(path + ": the impulse response is empty");
  std::vector<float> interleaved(static_cast<size_t>(frames) * reader.channels());
  const int got = reader.read(interleaved.data(), static_cast<int>(frames));
  StateChunk::Contents contents;
  std::vector<uint8_t> chunk = plugin.chunk(true);
  if (!StateChunk::read(chunk.data(), static_cast<int64_t>(chunk.size()), false, contents)) {
    throw HostError("the plug-in takes no impulse response (it keeps no Korvalite program chunk)");
  }
  contents.response.resize(static_cast<size_t>(got));
  bool sound = false;
  for (int i = 0; i < got; ++i) {
    const float v = interleaved[static_cast<size_t>(i) * reader.channels()];
    if (!std::isfinite(v))
      throw HostError(path + ": the impulse response holds samples that are not numbers");
    sound = sound || v != 0.0f;
    contents.response[i] = v;
  }
  if (!sound) throw HostError(path + ": the impulse response is silent");
  contents.programs[0].values[kParamCab] = 1.0f;  // User
  contents.responseRate = rate;
  // The file's name goes with it, as when the player loads the file in the editor.
  contents.responseName = StateChunk::cleanName(std::filesystem::u8path(path).filename().u8string());
  std::vector<uint8_t> loaded = StateChunk::write(contents);
  if (!plugin.setChunk(loaded, true)) throw HostError(path + ": the plug-in refused the impulse response");
}
