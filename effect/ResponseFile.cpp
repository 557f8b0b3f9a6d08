#include "effect/ResponseFile.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

#include "cab/UserResponse.h"
#include "effect/StateChunk.h"

namespace {

// Closes the file whichever way reading ends.
struct OpenFile {
  SNDFILE* file = nullptr;
  ~OpenFile() {
    if (file != nullptr) sf_close(file);
  }
};

bool readableFormat(int format) {
  switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
    case SF_FORMAT_AIFF:
    case SF_FORMAT_FLAC:
      return true;
    default:
      return false;
  }
}

std::string kiloHertz(double rate) {
  char text[48];
  std::snprintf(text, sizeof text, "%g", rate / 1000.0);
  return text;
}

}  // namespace

std::string ResponseFile::displayName(const std::string& utf8Path) {
  const size_t slash = utf8Path.find_last_of("/\\");
  return StateChunk::cleanName(slash == std::string::npos ? utf8Path : utf8Path.substr(slash + 1));
}

bool ResponseFile::read(const std::string& utf8Path, Contents& out, std::string& why) {
  try {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::u8path(utf8Path);
    if (!std::filesystem::is_regular_file(path, error)) {
      why = "the file cannot be opened";
      return false;
    }
    const uintmax_t bytes = std::filesystem::file_size(path, error);
    if (error) {
      why = "the file cannot be opened";
      return false;
    }
    if (bytes > static_cast<uintmax_t>(kMaxFileBytes)) {
      why = "the file is over 50 MB, too large for an impulse response";
      return false;
    }
    SF_INFO info = {};
    OpenFile file;
#ifdef _WIN32
    // sf_open reads a path in the ANSI code page there, which cannot name every file.
    file.file = sf_wchar_open(path.wstring().c_str(), SFM_READ, &info);
#else
    file.file = sf_open(utf8Path.c_str(), SFM_READ, &info);
#endif
    if (file.file == nullptr && !std::ifstream(path, std::ios::binary)) {
      why = "the file cannot be opened";  // no access to it
      return false;
    }
    if (file.file == nullptr || !readableFormat(info.format)) {
      why = "not a WAV, AIFF or FLAC audio file";
      return false;
    }
    if (info.channels < 1 || info.frames < 1) {
      why = "the file holds no audio";
      return false;
    }
    const double rate = info.samplerate;
    if (!(rate >= UserResponse::kLowestRate && rate <= UserResponse::kHighestRate)) {
      why = "its sample rate, " + kiloHertz(rate) + " kHz, is outside " +
            kiloHertz(UserResponse::kLowestRate) + " to " + kiloHertz(UserResponse::kHighestRate) + " kHz";
      return false;
    }
    // Only what the cabinet plays is read; the channels come interleaved, in blocks, so a file
    // with many channels costs no more memory than a block of them.
    const sf_count_t wanted = static_cast<sf_count_t>(
        std::ceil(rate * (UserResponse::kLongestSeconds + UserResponse::kFadeSeconds)));
    const sf_count_t frames = info.frames < wanted ? info.frames : wanted;
    out.samples.assign(static_cast<size_t>(frames), 0.0f);
    out.rate = rate;
    out.cut = info.frames > static_cast<sf_count_t>(rate * UserResponse::kLongestSeconds);
    constexpr sf_count_t kBlock = 1024;
    std::vector<float> block(static_cast<size_t>(kBlock * info.channels));
    bool sound = false;
    for (sf_count_t done = 0; done < frames;) {
      const sf_count_t asked = frames - done < kBlock ? frames - done : kBlock;
      const sf_count_t got = sf_readf_float(file.file, block.data(), asked);
      if (got != asked) {
        why = "the file is damaged: it ends before its header says";
        return false;
      }
      for (sf_count_t k = 0; k < got; ++k) {
        const float v = block[static_cast<size_t>(k * info.channels)];
        if (!std::isfinite(v)) {
          why = "the file holds samples that are not numbers";
          return false;
        }
        sound = sound || v != 0.0f;
        out.samples[static_cast<size_t>(done + k)] = v;
      }
      done += got;
    }
    if (!sound) {
      why = "the file is silent";
      return false;
    }
    return true;
  } catch (const std::bad_alloc&) {
    why = "there is not enough memory to read the file";
    return false;
  } catch (const std::exception&) {  // a path the file system cannot take
    why = "the file cannot be opened";
    return false;
  }
}
