#pragma once
// Records what a run tells the user, in order, for the tests to compare.

#include <string>
#include <vector>

#include "model/user_messages.h"

class MessageRecorder : public UserMessages {
 public:
  void ShowMessage(const std::string& text) override { Shown.push_back(text); }
  std::vector<std::string> Shown;
};
