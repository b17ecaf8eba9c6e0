#ifndef MINTU_TESTS_LOGGERLEVEL_H
#define MINTU_TESTS_LOGGERLEVEL_H
// Sets a logger's level ("root": the root's) for one scope, so no test leaks it into the next.

#include "mintu/Mintu_DebugMessengerFactory.h"

namespace MintuTest {

class LoggerLevel {
 public:
  LoggerLevel(const char* name, Mintu::DebugMessenger::DebugLevel level)
      : logger_(Mintu::DebugMessengerFactory::GetLogger(name)), saved_(logger_->GetLevel()) {
    logger_->SetLevel(level);
  }
  ~LoggerLevel() { logger_->SetLevel(saved_); }
  LoggerLevel(const LoggerLevel&) = delete;
  LoggerLevel& operator=(const LoggerLevel&) = delete;
  Mintu::DebugMessenger* operator->() const { return logger_; }

 private:
  Mintu::DebugMessenger* logger_;
  Mintu::DebugMessenger::DebugLevel saved_;
};

}  // namespace MintuTest

#endif  // MINTU_TESTS_LOGGERLEVEL_H
