#ifndef MINTU_TESTS_UTILITIESTESTSUPPORT_H
#define MINTU_TESTS_UTILITIESTESTSUPPORT_H
// Helpers shared by the tests of the installation and file utilities.

#include <string>
#include <vector>

#include "mintu/Mintu_DebugMessenger.h"
#include "mintu/Mintu_DebugMessengerFactory.h"
#include "port/Port_Msg.h"
#include "support/IssuedMessages.h"

namespace MintuTest {

/// Sets the logger "utilities" to a level for one scope and puts its own
/// level back afterwards.
class UtilitiesLoggerLevel {
 public:
  explicit UtilitiesLoggerLevel(Mintu::DebugMessenger::DebugLevel level)
      : logger_(Mintu::DebugMessengerFactory::GetLogger("utilities")), saved_(logger_->GetLevel()) {
    logger_->SetLevel(level);
  }
  ~UtilitiesLoggerLevel() { logger_->SetLevel(saved_); }
  UtilitiesLoggerLevel(const UtilitiesLoggerLevel&) = delete;
  UtilitiesLoggerLevel& operator=(const UtilitiesLoggerLevel&) = delete;

 private:
  Mintu::DebugMessenger* logger_;
  Mintu::DebugMessenger::DebugLevel saved_;
};

/// The status line the logger "utilities" issues for `text`.
inline std::string UtilitiesTrace(const std::string& text) { return "DEBUG[utilities] - " + text; }

/// The texts of the messages of `type` that came from `file`.
inline std::vector<std::string> TextsFrom(const MessageCapture& issued, int type,
                                          const std::string& file) {
  std::vector<std::string> result;
  for (const Port_Message& message : issued.OfType(type)) {
    if (message.file == file) result.push_back(message.text.str());
  }
  return result;
}

}  // namespace MintuTest

#endif  // MINTU_TESTS_UTILITIESTESTSUPPORT_H
