#include "tests/support/HostTestSupport.h"

#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int processId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

}  // namespace

std::vector<std::string> HostRun::hostErrorLines() const {
  std::vector<std::string> lines;
  std::istringstream s(err);
  std::string line;
  while (std::getline(s, line))
    if (line.rfind("test effect:", 0) != 0) lines.push_back(line);
  return lines;
}

HostRun runHost(const std::vector<std::string>& args, const std::string& envPrefix) {
  // Test programs may run in parallel: the pid keeps their capture files apart.
  static int counter = 0;
  fs::create_directories(KORVALITE_SCRATCH);
  std::string base = std::string(KORVALITE_SCRATCH) + "/run-" + std::to_string(processId()) + "-" +
                     std::to_string(++counter);
  std::string command = "\"" + std::string(KORVALITE_HOST) + "\"";
  for (const std::string& a : args) command += " \"" + a + "\"";
  command += " >\"" + base + ".out\" 2>\"" + base + ".err\"";
  HostRun run;
#ifdef _WIN32
  (void)envPrefix;
  // cmd.exe strips the first and last quote of its command line when it holds more than two.
  // Wine's cmd.exe now and then fails to start a program it has just started many times
  // ("Can't recognize ..."): that is cmd's failure, not the tool's, so the run is tried again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    run.exitCode = std::system(("\"" + command + "\"").c_str());
    if (slurp(base + ".err").rfind("Can't recognize", 0) != 0) break;
  }
#else
  int status = std::system((envPrefix + " " + command).c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
#endif
  run.out = slurp(base + ".out");
  run.err = slurp(base + ".err");
  std::error_code ec;
  fs::remove(base + ".out", ec);
  fs::remove(base + ".err", ec);
  return run;
}

std::string freshFolder(const std::string& name) {
  fs::path p = fs::path(KORVALITE_SCRATCH) / name;
  fs::remove_all(p);
  fs::create_directories(p);
  return p.generic_string();
}

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

bool fileExists(const std::string& path) {
  return fs::exists(path);
}

Audio sineAudio(int rate, size_t frames, const std::vector<double>& frequencies, double amplitude) {
  Audio a;
  a.channels = static_cast<int>(frequencies.size());
  a.rate = rate;
  a.samples.resize(frames * frequencies.size());
  const double twoPi = 6.283185307179586;
  for (size_t n = 0; n < frames; ++n)
    for (size_t c = 0; c < frequencies.size(); ++c)
      a.samples[n * frequencies.size() + c] =
          static_cast<float>(amplitude * std::sin(twoPi * frequencies[c] * static_cast<double>(n) / rate));
  return a;
}

void writeAudio(const std::string& path, const Audio& audio) {
  SF_INFO info = {};
  info.channels = audio.channels;
  info.samplerate = audio.rate;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) throw std::runtime_error("cannot write " + path);
  sf_writef_float(f, audio.samples.data(), static_cast<sf_count_t>(audio.frames()));
  sf_close(f);
}

Audio readAudio(const std::string& path) {
  SF_INFO info = {};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) throw std::runtime_error("cannot read " + path);
  Audio a;
  a.channels = info.channels;
  a.rate = info.samplerate;
  a.samples.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
  sf_readf_float(f, a.samples.data(), info.frames);
  sf_close(f);
  return a;
}
