#pragma once
// How the calculation and the report tell the user something while a run goes
// on. The window shows a message box, the batch tool writes to stderr, tests
// record the texts.

#include <string>

class UserMessages {
 public:
  virtual ~UserMessages() = default;
  virtual void ShowMessage(const std::string& text) = 0;
  // Why the message just shown came about (the system's reason), for a front
  // end that can add it on a line of its own; the window shows only messages.
  virtual void ShowReason(const std::string& /*text*/) {}
};
