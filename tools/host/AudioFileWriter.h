// Writes 32-bit float audio to a temporary file beside the destination and renames it onto the
// destination only when commit() is called, so an interrupted or failed render leaves neither
// a half-written file nor a damaged earlier one.
#pragma once

#include <cstdint>
#include <string>

typedef struct sf_private_tag SNDFILE;

class AudioFileWriter {
 public:
  // The libsndfile format for the destination's extension (.wav, .aif/.aiff, .flac where
  // available). Throws HostError for any other extension.
  static int formatFor(const std::string& path);
  // formatFor, and that the destination is not a folder and its folder exists: what can be
  // found out before any work is done. Throws HostError.
  static void checkDestination(const std::string& path);

  // Creates the temporary file. Throws HostError when it cannot be created.
  AudioFileWriter(const std::string& path, int channels, int sampleRate);
  ~AudioFileWriter();
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  // Throws HostError when the frames cannot all be written.
  void write(const float* interleaved, int frames);
  // Completes the file and puts it in place. Throws HostError when that fails.
  void commit();

 private:
  void discard();

  std::string path_;
  std::string temporary_;
  SNDFILE* file_ = nullptr;
  bool committed_ = false;
};
