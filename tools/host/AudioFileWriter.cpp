#include "tools/host/AudioFileWriter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include "tools/host/TextConversion.h"
#else
#include <unistd.h>
#endif
#include <sndfile.h>

#include "tools/host/HostError.h"

namespace fs = std::filesystem;

namespace {

int processId() {
#ifdef _WIN32
  return static_cast<int>(GetCurrentProcessId());
#else
  return static_cast<int>(getpid());
#endif
}

bool majorFormatAvailable(int major) {
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof(count));
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO info = {};
    info.format = i;
    if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof(info)) == 0 && info.format == major)
      return true;
  }
  return false;
}

}  // namespace

int AudioFileWriter::formatFor(const std::string& path) {
  std::string ext = fs::u8path(path).extension().u8string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  int format = 0;
  if (ext == ".wav")
    format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  else if (ext == ".aif" || ext == ".aiff")
    format = SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
  else if (ext == ".flac")
    format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;  // FLAC stores integers only: 24 bits is its best
  else
    throw HostError(path + ": unknown output format '" + ext + "' (use .wav, .aif or .flac)");
  // A libsndfile built without its external codecs has no FLAC; find that out before any work is
  // done. The library's list of major formats tells (sf_format_check accepts FLAC either way).
  if (!majorFormatAvailable(format & SF_FORMAT_TYPEMASK))
    throw HostError(path + ": this build cannot write " + ext + " files");
  return format;
}

void AudioFileWriter::checkDestination(const std::string& path) {
  formatFor(path);
  std::error_code ec;
  fs::path dest = fs::u8path(path);
  if (fs::is_directory(dest, ec)) throw HostError(path + ": is a folder");
  fs::path folder = dest.parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec)) throw HostError(path + ": the folder does not exist");
}

AudioFileWriter::AudioFileWriter(const std::string& path, int channels, int sampleRate) : path_(path) {
  SF_INFO info = {};
  info.channels = channels;
  info.samplerate = sampleRate;
  info.format = formatFor(path);
  if (!sf_format_check(&info))
    throw HostError(path + ": cannot write " + std::to_string(channels) + " channels at " +
                    std::to_string(sampleRate) + " Hz in this format");
  // Same folder as the destination, so the final rename never crosses file systems.
  fs::path dest = fs::u8path(path);
  fs::path temp = dest.parent_path() /
                  fs::u8path("." + dest.filename().u8string() + ".partial-" + std::to_string(processId()));
  temporary_ = temp.u8string();
#ifdef _WIN32
  file_ = sf_wchar_open(temp.wstring().c_str(), SFM_WRITE, &info);
#else
  file_ = sf_open(temporary_.c_str(), SFM_WRITE, &info);
#endif
  if (!file_) {
    std::string reason = sf_strerror(nullptr);
    std::error_code ec;
    fs::remove(temp, ec);
    throw HostError(path + ": cannot write (" + reason + ")");
  }
  // Float files keep every value; integer formats (FLAC) clip out-of-range samples instead of
  // letting them wrap around.
  sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter() {
  if (!committed_) discard();
}

void AudioFileWriter::discard() {
  if (file_) sf_close(file_);
  file_ = nullptr;
  std::error_code ec;
  if (!temporary_.empty()) fs::remove(fs::u8path(temporary_), ec);
}

void AudioFileWriter::write(const float* interleaved, int frames) {
  sf_count_t put = sf_writef_float(file_, interleaved, frames);
  if (put != frames) throw HostError(path_ + ": write failed (" + sf_strerror(file_) + ")");
}

void AudioFileWriter::commit() {
  int closed = sf_close(file_);
  file_ = nullptr;
  if (closed != 0) {
    discard();
    throw HostError(path_ + ": write failed while finishing the file");
  }
  std::error_code ec;
  fs::rename(fs::u8path(temporary_), fs::u8path(path_), ec);
  if (ec) {
    discard();
    throw HostError(path_ + ": cannot put the output in place (" + ec.message() + ")");
  }
  committed_ = true;
}
