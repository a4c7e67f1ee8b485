#pragma once
// How the calculation and the report tell the user something while a run goes
// on. The window shows a message box, the batch tool writes to stderr, tests
// record the texts.

#include <string>

class UserMessages {
 public:
  virtual ~UserMessages() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};
