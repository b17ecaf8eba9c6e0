#ifndef MINTU_TESTS_ISSUEDMESSAGES_H
#define MINTU_TESTS_ISSUEDMESSAGES_H
// Captures every message issued while it lives: a recording manager of the dispatcher.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "port/Port_Msg.h"

namespace MintuTest {

class MessageCapture : public Port_MsgMan {
 public:
  MessageCapture() { Port_MsgDispatcher::addMsgMan(this); }
  ~MessageCapture() override { Port_MsgDispatcher::removeMsgMan(this); }
  void handleMessage(const Port_Message& message) override { messages_.push_back(message); }
  void activate() override { ++activations_, Port_MsgMan::activate(); }

  const std::vector<Port_Message>& messages() const { return messages_; }
  /// The texts of the messages of one kind (from one file, if given), in order.
  std::vector<std::string> Texts(int type, const char* file = nullptr) const {
    std::vector<std::string> texts;
    for (const Port_Message& m : messages_) {
      if (m.type == type && (file == nullptr || m.file == file)) texts.push_back(m.text.str());
    }
    return texts;
  }
  void Clear() { messages_.clear(); }
  int activations() const { return activations_; }

 private:
  std::vector<Port_Message> messages_;
  int activations_ = 0;
};

class IssuedMessages : public ::testing::Test {  // fixture: `issued` records the messages
 protected:
  MessageCapture issued;
};

}  // namespace MintuTest

#endif  // MINTU_TESTS_ISSUEDMESSAGES_H
