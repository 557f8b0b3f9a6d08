// The published can-do vocabulary of VST 2.4: the texts an effect may ask a host about
// (canHostDo) and the texts a host may ask an effect about (canDo). Effects compare the
// text they are asked about against these exactly, case included.
#pragma once

namespace HostCanDos {
inline constexpr const char* kSendVstEvents = "sendVstEvents";
inline constexpr const char* kSendVstMidiEvent = "sendVstMidiEvent";
inline constexpr const char* kSendVstTimeInfo = "sendVstTimeInfo";
inline constexpr const char* kReceiveVstEvents = "receiveVstEvents";
inline constexpr const char* kReceiveVstMidiEvent = "receiveVstMidiEvent";
inline constexpr const char* kReportConnectionChanges = "reportConnectionChanges";
inline constexpr const char* kAcceptIOChanges = "acceptIOChanges";
inline constexpr const char* kSizeWindow = "sizeWindow";
inline constexpr const char* kOffline = "offline";
inline constexpr const char* kOpenFileSelector = "openFileSelector";
inline constexpr const char* kCloseFileSelector = "closeFileSelector";
inline constexpr const char* kStartStopProcess = "startStopProcess";
inline constexpr const char* kShellCategory = "shellCategory";
inline constexpr const char* kSendVstMidiEventFlagIsRealtime = "sendVstMidiEventFlagIsRealtime";

inline constexpr const char* kAll[] = {
    kSendVstEvents,
    kSendVstMidiEvent,
    kSendVstTimeInfo,
    kReceiveVstEvents,
    kReceiveVstMidiEvent,
    kReportConnectionChanges,
    kAcceptIOChanges,
    kSizeWindow,
    kOffline,
    kOpenFileSelector,
    kCloseFileSelector,
    kStartStopProcess,
    kShellCategory,
    kSendVstMidiEventFlagIsRealtime,
};
}  // namespace HostCanDos

namespace PlugCanDos {
inline constexpr const char* kSendVstEvents = "sendVstEvents";
inline constexpr const char* kSendVstMidiEvent = "sendVstMidiEvent";
inline constexpr const char* kReceiveVstEvents = "receiveVstEvents";
inline constexpr const char* kReceiveVstMidiEvent = "receiveVstMidiEvent";
inline constexpr const char* kReceiveVstTimeInfo = "receiveVstTimeInfo";
inline constexpr const char* kOffline = "offline";
inline constexpr const char* kMidiProgramNames = "midiProgramNames";
inline constexpr const char* kBypass = "bypass";

inline constexpr const char* kAll[] = {
    kSendVstEvents,      kSendVstMidiEvent, kReceiveVstEvents, kReceiveVstMidiEvent,
    kReceiveVstTimeInfo, kOffline,          kMidiProgramNames, kBypass,
};
}  // namespace PlugCanDos
