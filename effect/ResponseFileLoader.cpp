#include "effect/ResponseFileLoader.h"

#include <new>
#include <system_error>
#include <utility>

ResponseFileLoader::ResponseFileLoader(Take take) : take_(std::move(take)) {}

ResponseFileLoader::~ResponseFileLoader() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void ResponseFileLoader::request(const std::string& utf8Path) {
  std::unique_lock<std::mutex> lock(mutex_);
  try {
    pending_ = utf8Path;
    havePending_ = true;
    if (!thread_.joinable()) thread_ = std::thread(&ResponseFileLoader::run, this);
  } catch (const std::exception&) {  // no memory, or no thread to be had
    havePending_ = false;
    lock.unlock();
    ResponseFileOutcome refused;
    refused.name = ResponseFile::displayName(utf8Path);
    refused.message = refused.name + ": the file cannot be read now (the system is out of resources)";
    finish(std::move(refused));
    return;
  }
  lock.unlock();
  wake_.notify_one();
}

bool ResponseFileLoader::takeOutcome(ResponseFileOutcome& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!haveOutcome_) return false;
  out = std::move(outcome_);
  haveOutcome_ = false;
  return true;
}

void ResponseFileLoader::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || havePending_; });
    if (stop_) return;
    std::string path = std::move(pending_);
    havePending_ = false;
    lock.unlock();
    ResponseFileOutcome outcome = load(path);
    finish(std::move(outcome));
    lock.lock();
  }
}

ResponseFileOutcome ResponseFileLoader::load(const std::string& path) {
  ResponseFileOutcome outcome;
  try {
    outcome.name = ResponseFile::displayName(path);
    ResponseFile::Contents contents;
    std::string why;
    const char* refusal = nullptr;
    if (!ResponseFile::read(path, contents, why)) {
      outcome.message = outcome.name + ": " + why;
    } else if (!take_(contents, outcome.name, &refusal)) {
      outcome.message = outcome.name + ": " + (refusal != nullptr ? refusal : "the cabinet refused it");
    } else {
      outcome.loaded = true;
      outcome.cut = contents.cut;
      if (contents.cut) outcome.message = outcome.name + " is longer than 1 s: its first second is used";
    }
  } catch (const std::bad_alloc&) {
    if (!outcome.loaded) outcome.message = "there is not enough memory to load the file";
  }
  return outcome;
}

void ResponseFileLoader::finish(ResponseFileOutcome outcome) {
  std::lock_guard<std::mutex> lock(mutex_);
  outcome_ = std::move(outcome);
  haveOutcome_ = true;
}
