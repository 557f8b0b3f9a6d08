// Reads an audio file of any format libsndfile knows, as interleaved 32-bit floats, a block
// at a time.
#pragma once

#include <cstdint>
#include <string>

typedef struct sf_private_tag SNDFILE;

class AudioFileReader {
 public:
  // Throws HostError when the file is missing, unreadable or not audio.
  explicit AudioFileReader(const std::string& path);
  ~AudioFileReader();
  AudioFileReader(const AudioFileReader&) = delete;
  AudioFileReader& operator=(const AudioFileReader&) = delete;

  int channels() const { return channels_; }
  int sampleRate() const { return sampleRate_; }
  int64_t frames() const { return frames_; }

  // Reads up to `frames` frames into `interleaved`; answers how many it read (fewer only at the
  // end of the file). Throws HostError when the file cannot be read further.
  int read(float* interleaved, int frames);

 private:
  std::string path_;
  SNDFILE* file_ = nullptr;
  int channels_ = 0;
  int sampleRate_ = 0;
  int64_t frames_ = 0;
  int64_t position_ = 0;
};
