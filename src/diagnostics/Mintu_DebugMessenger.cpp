#include "port/Port_Init.h"

#include "mintu/Mintu_DebugMessenger.h"

#include "Mintu_Issue.h"

namespace Mintu {

namespace {

const Detail::IssueSource kSource = {"Mintu_DebugMessenger", "$Revision 0.0$"};

const char* const ROOT_NAME = "root";
const char LINE_FEED = '\n';

}  // namespace

DebugMessenger::DebugMessenger() : level(DEBUG_OFF), parent(nullptr), name(ROOT_NAME) {
  timer.reset();
}

DebugMessenger::DebugMessenger(DebugMessenger* parentLogger, const StringBase& loggerName)
    : level(DEBUG_UNSET), parent(parentLogger), name(loggerName) {
  timer.reset();
}

DebugMessenger::~DebugMessenger() {
  // Only build the text when it will be issued.
  if (IsNormal()) {
    StringBase text("Total debug time: ");
    text.Append(GetTimer());
    Message(DEBUG_NORMAL, text);
  }
}

void DebugMessenger::SetLevel(DebugLevel newLevel) { level = newLevel; }

DebugMessenger::DebugLevel DebugMessenger::GetEffectiveLevel() const {
  const DebugMessenger* current = this;
  while (current != nullptr) {
    if (current->level != DEBUG_UNSET) return current->level;
    // A messenger whose parent chain loops back on itself would walk for
    // ever; a chain is never longer than the number of messengers, but a
    // self-parent is the one loop a caller can make by accident.
    if (current->parent == current) break;
    current = current->parent;
  }
  // No ancestor has a level of its own: nothing passes.
  return DEBUG_OFF;
}

bool DebugMessenger::IsOff() const { return GetEffectiveLevel() == DEBUG_OFF; }

bool DebugMessenger::IsNormal() const { return GetEffectiveLevel() >= DEBUG_NORMAL; }

bool DebugMessenger::IsDetailed() const { return GetEffectiveLevel() >= DEBUG_DETAILED; }

bool DebugMessenger::IsVerbose() const { return GetEffectiveLevel() >= DEBUG_VERBOSE; }

void DebugMessenger::Message(DebugLevel lineLevel, const StringBase& text) {
  if (static_cast<int>(GetEffectiveLevel()) < static_cast<int>(lineLevel)) return;

  StringBase line;
  line.Reserve(name.GetLength() + text.GetLength() + 16);
  if (name.Compare(ROOT_NAME, Port::COMPARE_NOCASE) != 0) {
    line.Append("DEBUG[");
    line.Append(name);
    line.Append("] - ");
  } else {
    line.Append("DEBUG - ");
  }
  line.Append(text);
  if (line.GetAt(line.GetLength() - 1) != LINE_FEED) line.Append(LINE_FEED);

  // The line is only ever the value of "%s": a '%' in it is plain text.
  MINTU_ISSUE(kSource).issueStatus("%s", line.c_str());
}

void DebugMessenger::Normal(const StringBase& text) { Message(DEBUG_NORMAL, text); }

void DebugMessenger::Detailed(const StringBase& text) { Message(DEBUG_DETAILED, text); }

void DebugMessenger::Verbose(const StringBase& text) { Message(DEBUG_VERBOSE, text); }

StringBase DebugMessenger::GetTimer() {
  return UT_TIMER::asciitime(timer.get_delta_real(), UT_TIMER::HMS);
}

void DebugMessenger::SetTimer(const StringBase& mark) { marks[mark] = timer.get_delta_real(); }

StringBase DebugMessenger::GetTimer(const StringBase& mark) {
  // operator[] makes a missing mark with 0.0, that is the construction time.
  const double since = marks[mark];
  return UT_TIMER::asciitime(timer.get_delta_real() - since, UT_TIMER::HMS);
}

void DebugMessenger::StopTimer(const StringBase& mark) { marks.erase(mark); }

}  // namespace Mintu
