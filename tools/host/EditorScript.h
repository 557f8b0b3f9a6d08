// The user actions the host's `editor` command performs on a plug-in's editor, parsed from
// the command line (--do) or a file (--script): one action per line or per ';', '#' starts
// a comment. Coordinates are pixels in the editor's own window.
//
//   move X Y                    pointer to X Y
//   press [right] [ctrl|shift|alt]...   button down where the pointer is
//   release [right]             button up
//   click X Y [right] [ctrl|shift|alt]...
//   drag X1 Y1 X2 Y2 [STEPS]    press at X1 Y1, move in STEPS steps (default 10), release
//   wheel X Y NOTCHES           turn the wheel over X Y (positive: away from the user)
//   key NAME                    press and release a key: a letter or digit, or tab, return,
//                               escape, space, left, right, up, down, backspace, delete
//   menu X Y ENTRY [right]      click (or right-click) at X Y and choose ENTRY (from 0) of the
//                               pop-up menu that opens
//   scale PERCENT               the coordinates of the actions after it are for the editor at
//                               100 % and are scaled to PERCENT, so one script drives every size
//   drop X Y FILE               drop FILE on the editor at X Y as Explorer does (the rest of
//                               the line is the file's path); logs the effect the editor answered
//   wait MS                     let MS milliseconds pass (the editor keeps idling)
//   shot FILE.png               screenshot of the editor window now
//   screen FILE.png             screenshot of the whole screen now (a pop-up menu open over the
//                               editor shows)
//   param INDEX VALUE           the host sets a parameter, as automation playback does
//   audio on|off                feed the signal, or silence
//   print                       log every parameter value
//   reopen N                    close and reopen the editor N times, as a user toggling the
//                               plug-in window does, logging the process's memory around it
//                               and the time each open took (mean and worst)
//   measure MS                  for MS milliseconds: time each idle pass with the paint it
//                               causes, then N full repaints (N = MS / 100, at least 1); logs
//                               mean and worst of each and the window thread's share of a core
#pragma once

#include <string>
#include <vector>

struct EditorAction {
  enum Kind {
    kMove,
    kPress,
    kRelease,
    kClick,
    kDrag,
    kWheel,
    kKey,
    kMenu,
    kWait,
    kShot,
    kParam,
    kAudio,
    kPrint,
    kReopen,
    kMeasure,
    kDrop,
    kScale,
    kScreen
  };
  Kind kind = kWait;
  int x = 0, y = 0, x2 = 0, y2 = 0;
  int amount = 0;  // drag steps, wheel notches, menu entry, wait milliseconds, parameter index
  float value = 0.0f;
  bool rightButton = false;
  bool control = false, shift = false, alt = false;
  std::string text;    // key name, file name, "on"/"off"
  std::string source;  // the action as written, for the log
};

// Throws HostError naming the offending action.
std::vector<EditorAction> parseEditorScript(const std::string& text);
