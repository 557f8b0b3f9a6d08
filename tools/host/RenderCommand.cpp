// `render PLUGIN IN OUT`: runs an audio file through the plug-in in blocks, the way a DAW's
// offline bounce does, and writes exactly as many frames as the input has.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "tools/host/AudioFileReader.h"
#include "tools/host/AudioFileWriter.h"
#include "tools/host/Commands.h"
#include "tools/host/HostCallback.h"
#include "tools/host/HostError.h"
#include "tools/host/PluginInstance.h"
#include "tools/host/PluginModule.h"
#include "tools/host/ProgressLine.h"

namespace {

// More pins than any effect has; a record claiming more is taken as broken.
constexpr int kMaxPins = 256;

// A set of per-channel buffers and the pointer array handed to the plug-in. At least two
// channels always exist, so a plug-in that touches a stereo pair regardless of its declared
// pin count reads silence instead of freed memory.
class ChannelBuffers {
 public:
  ChannelBuffers(int channels, int frames)
      : data_(static_cast<size_t>(std::max(channels, 2)),
              std::vector<float>(static_cast<size_t>(frames), 0.0f)) {
    for (auto& c : data_) pointers_.push_back(c.data());
  }
  float** pointers() { return pointers_.data(); }
  float* channel(int i) { return data_[static_cast<size_t>(i)].data(); }

 private:
  std::vector<std::vector<float>> data_;
  std::vector<float*> pointers_;
};

// Where writeWholeFile will write: a file in a folder that exists.
void checkFileDestination(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path dest = fs::u8path(path);
  if (fs::is_directory(dest, ec)) throw HostError(path + ": is a folder");
  const fs::path folder = dest.parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec)) throw HostError(path + ": the folder does not exist");
}

// The whole of bytes in path, or nothing there at all: written beside it first, then renamed.
void writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  namespace fs = std::filesystem;
  const fs::path dest = fs::u8path(path);
  const fs::path temp = dest.parent_path() / fs::u8path("." + dest.filename().u8string() + ".partial");
  std::error_code ec;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      fs::remove(temp, ec);
      throw HostError(path + ": cannot write the chunk");
    }
  }
  fs::rename(temp, dest, ec);
  if (ec) {
    fs::remove(temp, ec);
    throw HostError(path + ": cannot put the chunk in place (" + ec.message() + ")");
  }
}

}  // namespace

int runRender(const CommandLine& cl) {
  const std::string& pluginPath = cl.operands[0];
  const std::string& inPath = cl.operands[1];
  const std::string& outPath = cl.operands[2];

  // Everything that can be checked before the plug-in runs is checked first.
  AudioFileWriter::checkDestination(outPath);
  if (!cl.saveChunk.empty()) checkFileDestination(cl.saveChunk);
  auto input = std::make_unique<AudioFileReader>(inPath);
  double rate = cl.sampleRate > 0.0 ? cl.sampleRate : input->sampleRate();
  if (cl.sampleRate > 0.0 && std::lround(cl.sampleRate) != input->sampleRate())
    std::fprintf(stderr, "korvalite-host: %s is %d Hz; processing and writing it as %g Hz (no resampling)\n",
                 inPath.c_str(), input->sampleRate(), rate);

  HostCallback host;
  configureHost(host, cl, rate);
  PluginModule module(pluginPath);
  PluginInstance plugin(module);
  configurePlugin(plugin, cl, rate);
  const AEffect& e = plugin.record();
  // Every pin is fed (a mono file feeds them all) and every output is written.
  host.setConnectedPins(e.numInputs, e.numOutputs);
  plugin.start();
  // Plug-ins settle their delay, and rarely their pins, when switched on: read the record now.
  host.takeIoChanged();
  if (e.numInputs < 0 || e.numInputs > kMaxPins || e.numOutputs < 0 || e.numOutputs > kMaxPins)
    throw HostError(pluginPath + ": the plug-in reports " + std::to_string(e.numInputs) + " inputs and " +
                    std::to_string(e.numOutputs) + " outputs");
  if (e.numOutputs == 0) throw HostError(pluginPath + ": the plug-in has no audio outputs");
  const int fileChannels = input->channels();
  if (fileChannels > 1 && fileChannels > e.numInputs && e.numInputs > 0)
    std::fprintf(stderr, "korvalite-host: %s has %d channels; the plug-in takes %d, the rest are ignored\n",
                 inPath.c_str(), fileChannels, e.numInputs);

  const int inputs = e.numInputs;
  const int outputs = e.numOutputs;
  AudioFileWriter output(outPath, outputs, static_cast<int>(std::lround(rate)));
  std::fprintf(stderr, "korvalite-host: initial delay %d samples\n", e.initialDelay);
  const int block = cl.blockSize;
  std::vector<float> readBuffer(static_cast<size_t>(block) * fileChannels);
  std::vector<float> writeBuffer(static_cast<size_t>(block) * outputs);
  ChannelBuffers in(inputs, block), out(outputs, block);
  ProgressLine progress(input->frames());
  int64_t done = 0;
  for (;;) {
    int frames = input->read(readBuffer.data(), block);
    if (frames == 0) break;
    // A mono file feeds every input; otherwise channel i feeds input i and inputs the file
    // lacks get silence.
    for (int i = 0; i < inputs; ++i) {
      float* dst = in.channel(i);
      int source = fileChannels == 1 ? 0 : i;
      if (source < fileChannels) {
        for (int f = 0; f < frames; ++f) dst[f] = readBuffer[static_cast<size_t>(f) * fileChannels + source];
      } else {
        std::fill(dst, dst + frames, 0.0f);
      }
    }
    plugin.process(in.pointers(), out.pointers(), std::max(outputs, 2), frames);
    for (int o = 0; o < outputs; ++o) {
      const float* src = out.channel(o);
      for (int f = 0; f < frames; ++f) writeBuffer[static_cast<size_t>(f) * outputs + o] = src[f];
    }
    output.write(writeBuffer.data(), frames);
    done += frames;
    progress.update(done);
  }
  plugin.stop();
  // What a host would store with its project now (the chunk says nothing of the audio, so it is
  // taken before the output is put in place: a plug-in without chunks leaves no output either).
  std::vector<uint8_t> chunk;
  if (!cl.saveChunk.empty()) {
    chunk = plugin.chunk(false);
    if (chunk.empty()) throw HostError(pluginPath + ": the plug-in gives no chunk to save");
  }
  // Closed before the rename, so OUT may even name the input file.
  input.reset();
  output.commit();
  if (!cl.saveChunk.empty()) writeWholeFile(cl.saveChunk, chunk);
  return 0;
}
