// The cabinet stage of the amplifier: off, one of the built-in cabinets, or the user's impulse
// response, with a crossfade whenever what plays changes, so a change never clicks.
//
// Threads. The control side (construction, setRate, setUserResponse, clearUserResponse,
// userSource, service, destruction) runs on any thread but the audio thread; its calls are
// serialised by a mutex the audio thread never touches. It prepares everything that allocates
// (a bank of built-in convolvers per rate, a convolver for the user's response) and hands it over
// through wait-free slots (Handover.h); what the audio thread replaces comes back the same way and
// is freed here, never on the audio thread. The audio side (beginBlock, running, process) allocates
// nothing, frees nothing, locks nothing and waits for nothing.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "cab/CabinetBank.h"
#include "cab/CabinetChoice.h"
#include "cab/Convolver.h"
#include "cab/Handover.h"

class CabinetStage {
 public:
  // Any thread: built-in cabinets for 44.1 kHz until setRate says otherwise.
  CabinetStage();
  ~CabinetStage();
  CabinetStage(const CabinetStage&) = delete;
  CabinetStage& operator=(const CabinetStage&) = delete;

  // Control side. The built-in cabinets and the user's response at a new host rate (the user's
  // resampled again from its source). The audio thread takes them at its next block, without a
  // fade: hosts stop processing while they change the rate.
  void setRate(float rate);
  // Control side. A user response (mono samples at its own rate): kept as given, for the chunks
  // and for later rate changes, and played at the host rate. False, with nothing changed and
  // *error saying why, when it cannot be used (see UserResponse::conform).
  bool setUserResponse(const float* samples, long count, double rate, const char** error = nullptr);
  void clearUserResponse();
  // Control side: the user's response as it was given; false when there is none.
  bool userSource(std::vector<float>& samples, double& rate) const;
  // Control side: frees what the audio thread gave back and hands over what waited for a free
  // slot. Every control call does this; the owner also calls it from its regular control calls.
  void service();

  // Audio thread, at the start of a block: the choice (CabinetChoice) the block asks for and the
  // host rate (for the fade's length). A change starts a 20 ms crossfade; a change that comes while
  // a fade runs waits for its end.
  void beginBlock(int choice, float hostRate);
  // Audio thread: whether process has anything to do (false: off, no fade; the signal passes
  // untouched and process need not be called).
  bool running() const { return fading_ || current_ != nullptr; }
  // Audio thread: n samples of each channel, in place. kStereo false: only l (r may be null).
  template <bool kStereo>
  void process(float* l, float* r, int n) {
    for (int done = 0; done < n; done += kRun)
      process(l + done, kStereo ? r + done : nullptr, n - done < kRun ? n - done : kRun, kStereo ? 2 : 1);
  }

  // Audio thread or, with it stopped, the owner: the next block takes its choice at once, without
  // a fade (a new instance, a reset).
  void snap() { snap_ = true; }

  static constexpr float kFadeSeconds = 0.02f;

 private:
  // The longest run process takes at once: a fade's two convolvers each need the run's samples.
  static constexpr int kRun = 512;
  void process(float* l, float* r, int n, int channels);
  Convolver* resolve(int choice);
  void startFade(Convolver* target);
  // Control side, mutex held.
  void offerBank(std::unique_ptr<CabinetBank> bank);
  void offerUser(std::unique_ptr<Convolver> voice);
  void serviceLocked();
  std::unique_ptr<Convolver> prepareUser() const;

  // Control side.
  mutable std::mutex control_;
  float rate_ = 44100.0f;
  bool haveBank_ = false;
  std::vector<float> source_;
  double sourceRate_ = 0.0;
  std::unique_ptr<CabinetBank> queuedBank_;
  std::unique_ptr<Convolver> queuedUser_;

  Handover<CabinetBank> banks_;
  Handover<Convolver> users_;

  // Audio side.
  CabinetBank* bank_ = nullptr;
  Convolver* user_ = nullptr;
  Convolver* current_ = nullptr;
  Convolver* previous_ = nullptr;
  Convolver* retireAfterFade_ = nullptr;  // the user convolver the running fade leaves
  int choice_ = CabinetChoice::kOff;
  bool fading_ = false;
  bool snap_ = true;
  float fade_ = 1.0f;
  float fadeStep_ = 1.0f;
  float fadeFrom_[2][kRun];  // what the convolver faded from makes of the run
};
