// The Korvalite effect: twelve parameters, a bank of fifty programs, the identity the host
// sees, the state it stores with a project, and the lifecycle around the amplifier model it owns.
//
// Threads. processReplacing runs on the host's audio thread. setParameter runs on whichever
// thread the host automates from (the audio thread included) and on the editor's window
// thread. Every other operation runs on the thread the host uses for dispatcher requests.
// The audio thread locks nothing: the values shared with it (params, the program values, the
// rates, secondChannelActive, the meter levels) are single aligned floats or a byte, each
// written with one store: relaxed atomics, which compile to exactly those plain loads and
// stores. The program names, which hosts may list from one thread while they restore a project
// on another, are kept under a lock that only control threads take.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "effect/ControlsguiProgram.h"
#include "effect/ResponseFileLoader.h"
#include "effect/StateChunk.h"
#include "model/AmpModel.h"
#include "model/ParameterIndex.h"
#include "plugin/AudioEffectX.h"
#include "plugin/Relaxed.h"

class Controlsgui : public AudioEffectX {
 public:
  // Any thread the host creates instances on (the entry point's caller).
  explicit Controlsgui(audioMasterCallback audioMaster);
  ~Controlsgui() override;

  static constexpr VstInt32 kUniqueId = 0x004B4F52;  // 'KOR'
  // The linear path's delay in host samples: the host-rate interpolation, the resampling
  // low-passes and the output read one internal step behind the host grid.
  static constexpr VstInt32 kInitialDelay = AmpModel::reportedDelay(44100.0f);
  static constexpr float kInternalRate = 192000.0f;
  static constexpr const char* kEffectName = "Korvalite";
  static constexpr const char* kProductString = "Korvalite";
  static constexpr const char* kVendorString = "https://korvalite.audio";

  // effVendorSpecific: the host's wheel request ('stCA' 'Whee') goes to wheelFromHost; any
  // other vendor request answers 0. User-interface thread for the wheel.
  VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

  // Audio thread.
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

  // The single path of every parameter change: host automation, program loads and the
  // editor (through setParameterAutomated). Indices outside 0..10 are ignored; values are
  // kept within 0..1, and a value that is not a number is ignored. Any thread that changes
  // parameters: the host's automation thread (possibly its audio thread), the dispatcher
  // thread during program loads, the editor's window thread.
  void setParameter(VstInt32 index, float value) override;
  // Any thread; 0 outside 0..10.
  float getParameter(VstInt32 index) override;

  // Dispatcher thread: programs and texts. Program numbers outside 0..49 are ignored.
  void setProgram(VstInt32 program) override;
  void setProgramName(const char* name) override;
  void getProgramName(char* name) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;

  // Dispatcher thread, never while processReplacing runs (the host's contract for
  // effSetSampleRate and effMainsChanged). A rate the model cannot run at (see
  // AmpModel::acceptsHostRate) is refused whole; a rate that changes the reported latency
  // tells the host with audioMasterIOChanged.
  void setSampleRate(float sampleRate) override;
  void resume() override;
  void suspend() override;

  // Dispatcher thread: the state a host keeps with a project (effFlagsProgramChunks is set). A
  // bank chunk holds every program's values and name, the current program's number and the
  // user's impulse response; a program chunk the current program's values and name and the
  // response (see StateChunk.h). getChunk's bytes stay valid until its next call or the effect's
  // end. setChunk answers 0 and changes nothing for anything but a whole, intact chunk of this
  // format and kind; it reads no more than byteSize bytes.
  VstInt32 getChunk(void** data, bool isPreset) override;
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

  // Control threads (the dispatcher, the editor): the user's impulse response, mono samples at
  // their own rate, played when the cabinet is on User (see CabinetStage::setUserResponse).
  // False, with nothing changed and *error saying why, when it cannot be used.
  bool setUserResponse(const float* samples, long count, double rate, const char** error = nullptr);
  void clearUserResponse();

  // The editor's window thread (any control thread): reads the audio file at utf8Path (WAV, AIFF
  // or FLAC) on the effect's loading thread and, when it can be used, makes it the user's response
  // under the file's name; returns at once. A file that cannot be used changes nothing. The outcome
  // comes through takeUserFileOutcome.
  virtual void loadUserFile(const char* utf8Path);
  // Window thread: the outcome of the latest load that finished since the last call, once.
  virtual bool takeUserFileOutcome(ResponseFileOutcome& outcome);
  // Any control thread: the name of the file the user's response came from; empty when there is
  // no response or it came without a name (a version 1 chunk).
  virtual std::string getUserResponseName();
  // Any thread: counts the changes of the user's response and its name, so the editor's idle sees
  // a project's response arrive without asking for the name each time.
  virtual uint32_t getUserResponseChanges() { return userResponseChanges; }
  // Any thread: the editor's scale in percent, kept with the project (StateChunk); 0 until set,
  // when the editor takes the size that suits the screen.
  virtual uint32_t getEditorScale() { return editorScale; }
  virtual void setEditorScale(uint32_t percent);

  // Dispatcher thread: identity and capabilities.
  bool string2parameter(VstInt32 index, const char* text) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 canDo(const char* text) override;
  VstInt32 getNumMidiInputChannels() override { return 1; }

  // Construction (creating thread). Resets the model to the settled idle state a new
  // instance starts from, and the meters and the second-channel flag with it. The tables
  // are built once per process by the model.
  virtual void initModel();
  // A host's wheel request sent as effVendorSpecific ('stCA', 'Whee', distance in opt):
  // passed to the editor, which answers 1 when a view took the wheel. Window thread.
  virtual VstIntPtr wheelFromHost(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  // Dispatcher thread. Copies the current program, values and name, over program
  // `destination` (0..49).
  virtual bool copyCurrentProgram(VstInt32 destination);
  // Writes the live values into the current program; the name stays.
  virtual void storeCurrentParameters();
  // Window thread (the editor). The live value of `index` (0..10) to watch, null otherwise;
  // valid for the effect's lifetime.
  virtual Relaxed<float>* getParameterPointer(VstInt32 index);
  // The meter positions (0..1) the model publishes at the end of every block; the editor's
  // idle handler (window thread) reads one float through each while the audio thread
  // writes them.
  virtual Relaxed<float>* getMeterLevel1() { return &meterLevel1; }
  virtual Relaxed<float>* getMeterLevel2() { return &meterLevel2; }
  // Any thread, the audio thread included (setParameter of the tone, setSampleRate,
  // construction): hands the tone value and the two rates to the model with one store each and
  // never waits; the audio thread retunes its filters from them at the start of its next block.
  virtual void updateCoefficients();

  // For inspection (tests, the editor): the rates and the second-channel flag.
  float getHostRate() const { return hostRate; }
  float getInternalRate() const { return internalRate; }
  bool isSecondChannelActive() const { return secondChannelActive; }
  const AmpModel& getModel() const { return model; }

 private:
  static bool validParameter(VstInt32 index) { return index >= 0 && index < kNumParams; }
  static bool validProgram(VstInt32 program) { return program >= 0 && program < kNumPrograms; }
  ControlsguiProgram* currentProgram();

  ControlsguiProgram* programs = nullptr;
  Relaxed<float> params[kNumParams];
  Relaxed<float> hostRate = 44100.0f;
  Relaxed<float> internalRate = kInternalRate;
  Relaxed<float> meterLevel1 = 0.0f;
  Relaxed<float> meterLevel2 = 0.0f;
  Relaxed<bool> secondChannelActive = false;
  AmpModel model;
  std::vector<uint8_t> chunk;   // the last chunk given to the host
  std::mutex programNamesLock;  // the programs' names; control threads only
  // The response's file name; the lock keeps it and the response together for getChunk while the
  // loading thread or setChunk changes both. Control threads only, never the audio thread.
  std::mutex userResponseLock;
  std::string userResponseName;
  Relaxed<uint32_t> userResponseChanges = 0;
  Relaxed<uint32_t> editorScale = StateChunk::kScreenEditorScale;
  // Last: it ends first, so its thread never reaches a half-destroyed effect.
  std::unique_ptr<ResponseFileLoader> fileLoader;
};
