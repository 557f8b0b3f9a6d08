#include "tools/host/EditorScript.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "tools/host/HostError.h"

namespace {

struct Reader {
  std::vector<std::string> words;
  size_t next = 1;
  const std::string& source;

  [[noreturn]] void fail(const std::string& why) const {
    throw HostError("editor action '" + source + "': " + why);
  }

  int integer(long low, long high) {
    if (next >= words.size()) fail("missing a number");
    const std::string& w = words[next++];
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(w.c_str(), &end, 10);
    if (w.empty() || *end != '\0' || errno != 0 || v < low || v > high)
      fail("'" + w + "' is not a number in range");
    return static_cast<int>(v);
  }
  float real() {
    if (next >= words.size()) fail("missing a value");
    const std::string& w = words[next++];
    char* end = nullptr;
    double v = std::strtod(w.c_str(), &end);
    if (w.empty() || *end != '\0' || !std::isfinite(v)) fail("'" + w + "' is not a value");
    return static_cast<float>(v);
  }
  std::string word() {
    if (next >= words.size()) fail("missing an argument");
    return words[next++];
  }
  void modifiers(EditorAction& a) {
    while (next < words.size()) {
      const std::string& w = words[next++];
      if (w == "right")
        a.rightButton = true;
      else if (w == "left")
        a.rightButton = false;
      else if (w == "ctrl" || w == "control")
        a.control = true;
      else if (w == "shift")
        a.shift = true;
      else if (w == "alt")
        a.alt = true;
      else
        fail("unknown modifier '" + w + "'");
    }
  }
  void end() {
    if (next < words.size()) fail("unexpected '" + words[next] + "'");
  }
};

constexpr long kCoord = 100000;

EditorAction parseAction(const std::string& source) {
  Reader r{{}, 1, source};
  std::istringstream in(source);
  for (std::string w; in >> w;) r.words.push_back(w);
  EditorAction a;
  a.source = source;
  const std::string& verb = r.words[0];
  if (verb == "move") {
    a.kind = EditorAction::kMove;
    a.x = r.integer(-kCoord, kCoord);
    a.y = r.integer(-kCoord, kCoord);
  } else if (verb == "press" || verb == "release") {
    a.kind = verb == "press" ? EditorAction::kPress : EditorAction::kRelease;
    r.modifiers(a);
  } else if (verb == "click") {
    a.kind = EditorAction::kClick;
    a.x = r.integer(-kCoord, kCoord);
    a.y = r.integer(-kCoord, kCoord);
    r.modifiers(a);
  } else if (verb == "drag") {
    a.kind = EditorAction::kDrag;
    a.x = r.integer(-kCoord, kCoord);
    a.y = r.integer(-kCoord, kCoord);
    a.x2 = r.integer(-kCoord, kCoord);
    a.y2 = r.integer(-kCoord, kCoord);
    a.amount = r.next < r.words.size() ? r.integer(1, 1000) : 10;
  } else if (verb == "wheel") {
    a.kind = EditorAction::kWheel;
    a.x = r.integer(-kCoord, kCoord);
    a.y = r.integer(-kCoord, kCoord);
    a.amount = r.integer(-100, 100);
  } else if (verb == "key") {
    a.kind = EditorAction::kKey;
    a.text = r.word();
  } else if (verb == "menu") {
    a.kind = EditorAction::kMenu;
    a.x = r.integer(-kCoord, kCoord);
    a.y = r.integer(-kCoord, kCoord);
    a.amount = r.integer(0, 1000);
    if (r.next < r.words.size()) {
      if (r.word() != "right") r.fail("menu takes only 'right' after its entry");
      a.rightButton = true;
    }
  } else if (verb == "scale") {
    a.kind = EditorAction::kScale;
    a.amount = r.integer(25, 400);
  } else if (verb == "drop") {
    a.kind = EditorAction::kDrop;
    a.x = r.integer(-kCoord, kCoord);
    a.y = r.integer(-kCoord, kCoord);
    // The path may hold blanks: it is the rest of the action as written.
    std::istringstream rest(source);
    std::string skipped;
    for (int k = 0; k < 3; ++k) rest >> skipped;
    std::getline(rest >> std::ws, a.text);
    if (a.text.empty()) r.fail("drop needs a file");
    r.next = r.words.size();
  } else if (verb == "wait") {
    a.kind = EditorAction::kWait;
    a.amount = r.integer(0, 3600000);
  } else if (verb == "shot") {
    a.kind = EditorAction::kShot;
    a.text = r.word();
  } else if (verb == "screen") {
    a.kind = EditorAction::kScreen;
    a.text = r.word();
  } else if (verb == "param") {
    a.kind = EditorAction::kParam;
    a.amount = r.integer(0, 1000000);
    a.value = r.real();
    if (a.value < 0.0f || a.value > 1.0f) r.fail("a parameter value is within 0..1");
  } else if (verb == "audio") {
    a.kind = EditorAction::kAudio;
    a.text = r.word();
    if (a.text != "on" && a.text != "off") r.fail("audio takes on or off");
  } else if (verb == "print") {
    a.kind = EditorAction::kPrint;
  } else if (verb == "reopen") {
    a.kind = EditorAction::kReopen;
    a.amount = r.integer(1, 100000);
  } else if (verb == "measure") {
    a.kind = EditorAction::kMeasure;
    a.amount = r.integer(1, 3600000);
  } else {
    r.fail("unknown action");
  }
  r.end();
  return a;
}

}  // namespace

std::vector<EditorAction> parseEditorScript(const std::string& text) {
  std::vector<EditorAction> actions;
  std::string current;
  auto flush = [&] {
    const size_t hash = current.find('#');
    if (hash != std::string::npos) current.erase(hash);
    const size_t first = current.find_first_not_of(" \t\r");
    if (first != std::string::npos) {
      const size_t last = current.find_last_not_of(" \t\r");
      actions.push_back(parseAction(current.substr(first, last - first + 1)));
    }
    current.clear();
  };
  for (char c : text) {
    if (c == '\n' || c == ';') {
      flush();
    } else {
      current += c;
    }
  }
  flush();
  return actions;
}
