#include "support/IssuedMessages.h"

namespace MintuTest {

MessageCapture::MessageCapture() { Port_MsgDispatcher::addMsgMan(this); }

MessageCapture::~MessageCapture() { Port_MsgDispatcher::removeMsgMan(this); }

void MessageCapture::handleMessage(const Port_Message& message) { messages_.push_back(message); }

void MessageCapture::activate() {
  ++activations_;
  Port_MsgMan::activate();
}

void MessageCapture::deactivate() {
  ++deactivations_;
  Port_MsgMan::deactivate();
}

std::vector<Port_Message> MessageCapture::OfType(int type) const {
  std::vector<Port_Message> result;
  for (const Port_Message& m : messages_) {
    if (m.type == type) result.push_back(m);
  }
  return result;
}

std::vector<std::string> MessageCapture::Texts(int type, const char* file) const {
  std::vector<std::string> result;
  for (const Port_Message& m : OfType(type)) {
    if (file == nullptr || m.file == file) result.push_back(m.text.str());
  }
  return result;
}

std::size_t MessageCapture::Count(int type) const { return OfType(type).size(); }

}  // namespace MintuTest
