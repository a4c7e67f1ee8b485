#pragma once
// The three passes that write a run's report into ResultFileName. A pass that
// can not open the file tells the user and returns; a write that fails after
// the open throws std::runtime_error with the system's error text.

#include "model/model_state.h"
#include "model/user_messages.h"

void WriteInputEcho(const ModelState& state, UserMessages& messages, char decimalSeparator = '.');
void WriteResultsHeader(const ModelState& state, UserMessages& messages, char decimalSeparator = '.');
void WriteProfileTable(const ModelState& state, UserMessages& messages, char decimalSeparator = '.');
