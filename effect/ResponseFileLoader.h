// The effect's loading thread for the player's impulse-response files: the editor asks for a file
// and returns at once; the file is read (ResponseFile) and handed to the cabinet on this thread,
// so neither the audio thread nor the editor's window waits for a large file, a slow disk or the
// resampling; the editor collects the outcome later.
//
// Threads: request and takeOutcome run on any control thread (the editor's window thread); the
// take function runs on the loading thread. The thread starts with the first request (a project
// holds many instances, and few of them ever load a file) and ends with the loader.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "effect/ResponseFile.h"

// What became of a requested file, for the editor's one line.
struct ResponseFileOutcome {
  bool loaded = false;  // the response plays now; otherwise nothing changed
  bool cut = false;     // loaded, but longer than the second the cabinet plays
  std::string name;     // the file's name (ResponseFile::displayName)
  std::string message;  // one line: why it was refused, or that it was cut; empty otherwise
};

class ResponseFileLoader {
 public:
  // Called on the loading thread with a file read whole: makes it the user's response, or
  // answers false with *error saying why not (and nothing changed).
  using Take = std::function<bool(const ResponseFile::Contents& contents, const std::string& name,
                                  const char** error)>;

  explicit ResponseFileLoader(Take take);
  // Waits for a file being read to finish; a request still waiting is dropped.
  ~ResponseFileLoader();
  ResponseFileLoader(const ResponseFileLoader&) = delete;
  ResponseFileLoader& operator=(const ResponseFileLoader&) = delete;

  // Reads utf8Path on the loading thread. A request made while another is waiting replaces it:
  // only the player's latest choice matters.
  void request(const std::string& utf8Path);
  // The outcome of the latest finished request, once; false when none finished since the last call.
  bool takeOutcome(ResponseFileOutcome& out);

 private:
  void run();
  ResponseFileOutcome load(const std::string& path);
  void finish(ResponseFileOutcome outcome);

  Take take_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::thread thread_;
  std::string pending_;
  bool havePending_ = false;
  bool stop_ = false;
  ResponseFileOutcome outcome_;
  bool haveOutcome_ = false;
};
