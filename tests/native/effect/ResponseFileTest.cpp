// The player's impulse-response files as the effect loads them on its loading thread: the formats
// it reads, and each file it must refuse with one line and nothing changed. The files are written
// here with libsndfile, the library the effect reads them with.
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "effect/StateChunk.h"
#include "tests/native/effect/EffectFixture.h"

namespace {

namespace fs = std::filesystem;

// A decaying tone in the left channel; the right one, when there is one, is silent, so a response
// read from the wrong channel is refused as silent.
bool writeResponse(const fs::path& path, int format, int rate, int channels, long frames) {
  SF_INFO info = {};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  std::vector<float> samples(static_cast<size_t>(frames * channels), 0.0f);
  for (long n = 0; n < frames; ++n) {
    samples[static_cast<size_t>(n * channels)] = 0.8f * std::exp(-30.0f * n / rate) * std::cos(0.2f * n);
  }
  const bool written = sf_writef_float(file, samples.data(), frames) == frames;
  return sf_close(file) == 0 && written;
}

// left in the left channel, a full-scale tone in the right, at 48 kHz.
bool writeSamples(const fs::path& path, int format, const std::vector<float>& left) {
  SF_INFO info = {};
  info.samplerate = 48000;
  info.channels = 2;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  std::vector<float> samples(left.size() * 2);
  for (size_t n = 0; n < left.size(); ++n) {
    samples[2 * n] = left[n];
    samples[2 * n + 1] = std::sin(0.1f * n);
  }
  const bool written = sf_writef_float(file, samples.data(), static_cast<sf_count_t>(left.size())) ==
                       static_cast<sf_count_t>(left.size());
  return sf_close(file) == 0 && written;
}

class ResponseFiles : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    const char* test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder =
        fs::temp_directory_path() / (std::string("korvalite-ir-") + std::to_string(::getpid()) + "-" + test);
    fs::create_directories(folder);
  }
  void TearDown() override {
    EffectTest::TearDown();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  // Loads path and waits for the outcome, as the editor's idle collects it.
  ResponseFileOutcome load(const fs::path& path) {
    effect->loadUserFile(path.u8string().c_str());
    ResponseFileOutcome outcome;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!effect->takeUserFileOutcome(outcome)) {
      if (std::chrono::steady_clock::now() > end) {
        ADD_FAILURE() << "no outcome for " << path;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return outcome;
  }
  std::vector<uint8_t> bank() {
    void* data = nullptr;
    const VstIntPtr size = send(effGetChunk, 0, 0, &data);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(p, p + size);
  }
  fs::path folder;
};

TEST_F(ResponseFiles, EveryFormatAndDepthLoadsItsFirstChannelUnderItsName) {
  struct Case {
    const char* name;
    int format;
    int rate;
    int channels;
  } cases[] = {
      {"closed 4x12.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1},
      {"room.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 44100, 1},
      {"Grün 2x12.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 96000, 2},
      {"deep.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 22050, 1},
      {"int32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 192000, 2},
      {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 88200, 1},
      {"float.aif", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 48000, 2},
  };
  uint32_t changes = effect->getUserResponseChanges();
  for (const Case& c : cases) {
    const fs::path path = folder / fs::u8path(c.name);
    ASSERT_TRUE(writeResponse(path, c.format, c.rate, c.channels, c.rate / 5)) << c.name;
    const ResponseFileOutcome outcome = load(path);
    EXPECT_TRUE(outcome.loaded) << c.name << ": " << outcome.message;
    EXPECT_FALSE(outcome.cut) << c.name;
    EXPECT_EQ(outcome.message, "") << c.name;
    EXPECT_EQ(outcome.name, c.name);
    EXPECT_EQ(effect->getUserResponseName(), c.name);
    EXPECT_GT(effect->getUserResponseChanges(), changes) << c.name;
    changes = effect->getUserResponseChanges();
  }

  // The name travels with the project; a response set without a file has none.
  const std::vector<uint8_t> saved = bank();
  Controlsgui other(RecordingHost::callback);
  std::vector<uint8_t> copy = saved;
  ASSERT_EQ(other.dispatcher(effSetChunk, 0, static_cast<VstIntPtr>(copy.size()), copy.data(), 0.0f), 1);
  EXPECT_EQ(other.getUserResponseName(), "float.aif");
  const float impulse[4] = {1.0f, 0.5f, 0.25f, 0.125f};
  const char* error = nullptr;
  ASSERT_TRUE(other.setUserResponse(impulse, 4, 48000.0, &error)) << error;
  EXPECT_EQ(other.getUserResponseName(), "");
}

TEST_F(ResponseFiles, ALongResponseLoadsWithANoticeThatItWasCut) {
  const fs::path path = folder / "hall.wav";
  ASSERT_TRUE(writeResponse(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 48000 * 3 / 2));
  const ResponseFileOutcome outcome = load(path);
  EXPECT_TRUE(outcome.loaded);
  EXPECT_TRUE(outcome.cut);
  EXPECT_EQ(outcome.message, "hall.wav is longer than 1 s: its first second is used");
  StateChunk::Contents contents;
  const std::vector<uint8_t> saved = bank();
  ASSERT_TRUE(StateChunk::read(saved.data(), static_cast<int64_t>(saved.size()), true, contents));
  EXPECT_EQ(contents.response.size(), 48480u) << "the first second and the fade's 10 ms are kept";
}

// Each refusal is one line naming the file and the reason, and leaves the response, its name and
// the whole project state as they were.
TEST_F(ResponseFiles, AFileThatCannotBeUsedChangesNothingAndSaysWhyInOneLine) {
  const fs::path good = folder / "good.wav";
  ASSERT_TRUE(writeResponse(good, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 4800));
  ASSERT_TRUE(load(good).loaded);

  std::ofstream(folder / "notes.wav") << "not audio at all, only words\n";
  ASSERT_TRUE(writeResponse(folder / "empty.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 0));
  ASSERT_TRUE(writeResponse(folder / "low.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4000, 1, 400));
  ASSERT_TRUE(writeResponse(folder / "high.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 768000, 1, 4000));
  {
    // The right channel of these holds the sound, the left (the one read) the fault.
    const std::vector<float> zeros(4800, 0.0f);
    ASSERT_TRUE(writeSamples(folder / "silent.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, zeros));
    std::vector<float> poisoned(4800, 0.25f);
    poisoned[100] = std::nanf("");
    ASSERT_TRUE(writeSamples(folder / "nan.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, poisoned));
    // An Ogg Vorbis file: audio libsndfile reads, but not a format the cabinet takes.
    ASSERT_TRUE(writeResponse(folder / "song.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 48000, 1, 4800));
  }
  fs::create_directory(folder / "folder.wav");
  {
    std::ofstream(folder / "huge.wav").put('R');
    fs::resize_file(folder / "huge.wav", ResponseFile::kMaxFileBytes + 1);  // sparse: costs no disk
  }

  const struct {
    const char* name;
    const char* why;
  } refusals[] = {
      {"missing.wav", "the file cannot be opened"},
      {"folder.wav", "the file cannot be opened"},
      {"notes.wav", "not a WAV, AIFF or FLAC audio file"},
      {"song.ogg", "not a WAV, AIFF or FLAC audio file"},
      {"huge.wav", "the file is over 50 MB, too large for an impulse response"},
      {"empty.wav", "the file holds no audio"},
      {"silent.wav", "the file is silent"},
      {"nan.wav", "the file holds samples that are not numbers"},
      {"low.wav", "its sample rate, 4 kHz, is outside 8 to 384 kHz"},
      {"high.wav", "its sample rate, 768 kHz, is outside 8 to 384 kHz"},
  };
  const std::vector<uint8_t> before = bank();
  const uint32_t changes = effect->getUserResponseChanges();
  for (const auto& r : refusals) {
    const ResponseFileOutcome outcome = load(folder / r.name);
    EXPECT_FALSE(outcome.loaded) << r.name;
    EXPECT_EQ(outcome.message, std::string(r.name) + ": " + r.why);
    EXPECT_EQ(outcome.message.find('\n'), std::string::npos);
    EXPECT_EQ(effect->getUserResponseName(), "good.wav") << r.name;
    EXPECT_EQ(effect->getUserResponseChanges(), changes) << r.name;
    EXPECT_EQ(bank(), before) << r.name;
  }
}

}  // namespace
