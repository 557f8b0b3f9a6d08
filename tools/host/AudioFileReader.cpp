#include "tools/host/AudioFileReader.h"

#ifdef _WIN32
#include <windows.h>

#include "tools/host/TextConversion.h"
#endif
#include <sndfile.h>

#include "tools/host/HostError.h"

AudioFileReader::AudioFileReader(const std::string& path) : path_(path) {
  SF_INFO info = {};
#ifdef _WIN32
  file_ = sf_wchar_open(widen(path).c_str(), SFM_READ, &info);
#else
  file_ = sf_open(path.c_str(), SFM_READ, &info);
#endif
  if (!file_) throw HostError(path + ": cannot read audio (" + sf_strerror(nullptr) + ")");
  if (info.channels < 1 || info.samplerate < 1 || info.frames < 0) {
    sf_close(file_);
    file_ = nullptr;
    throw HostError(path + ": not usable audio (no channels or no sample rate)");
  }
  channels_ = info.channels;
  sampleRate_ = info.samplerate;
  frames_ = info.frames;
}

AudioFileReader::~AudioFileReader() {
  if (file_) sf_close(file_);
}

int AudioFileReader::read(float* interleaved, int frames) {
  sf_count_t got = sf_readf_float(file_, interleaved, frames);
  position_ += got;
  if (got < frames && position_ < frames_)
    throw HostError(path_ + ": read failed after " + std::to_string(position_) + " frames (" +
                    sf_strerror(file_) + ")");
  return static_cast<int>(got);
}
