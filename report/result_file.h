#pragma once
// The three passes that write a run's report into ResultFileName. A pass that
// can not open the file tells the user and returns; a write that fails after
// the open throws std::runtime_error with the system's error text.

#include "model/model_state.h"
#include "model/user_messages.h"

void WriteInputEcho(const ModelState& state, UserMessages& messages, char decimalSeparator = '.');
void WriteResultsHeader(const ModelState& state, UserMessages& messages, char decimalSeparator = '.');
void WriteProfileTable(const ModelState& state, UserMessages& messages, char decimalSeparator = '.');

// The three passes as one: the report goes to a temporary file beside
// ResultFileName that replaces it only once complete and on disk, so the file
// holds one whole report or stays exactly as it was. A file that can not be
// written gets the three passes' messages, in their order; a failed write
// throws as above and leaves no temporary file.
void WriteReport(const ModelState& state, UserMessages& messages, char decimalSeparator = '.');
