#pragma once
// What the GO button does: convert and validate the 29 texts, choose the unit
// factors, run the calculation and write the result file.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "model/input_fields.h"
#include "model/model_state.h"
#include "model/user_messages.h"

enum class RunResult { Completed, Rejected, Failed };

struct RunOutcome {
  RunResult Result = RunResult::Completed;
  std::string Message;  // the refusal for Rejected, the error's text for Failed
  // For a Failed run whose inputs made the model impossible: one sentence
  // naming those inputs, their values and what to change (ExplainFault).
  std::string Explanation;
};

// What the window and the batch tool show of a refused or failed run: the
// message, followed by the explanation when there is one.
std::string OutcomeMessage(const RunOutcome& outcome);

using RunTexts = std::array<std::string, RunTextCount>;

// Whether a completed calculation writes the result file. Studies and exports
// that want only the numbers skip it; the name is still checked, as always.
enum class ReportWriting { Write, Skip };

// The window's initial texts, with the initial result file name last. Their
// numbers carry `decimalSeparator`, the one every run reads them with, so
// the initial values run under any locale.
RunTexts InitialRunTexts(char decimalSeparator = '.');

// The first input, in canonical order, whose text is no number under
// `decimalSeparator`: the one behind "Input value is not correct!".
std::optional<int> FirstUnconvertibleInput(const RunTexts& texts, char decimalSeparator);

// The initial text of input k with `decimalSeparator` as its decimal point.
std::string InitialInputText(int k, char decimalSeparator = '.');

// texts: the 28 numbers in canonical order, then the result file name.
// unitIndex: 0 selects Pa.s, any other value gf.s/cm2.
// decimalSeparator: the user's regional separator, used to read and write numbers.
RunOutcome RunCommand(ModelState& state, const RunTexts& texts, int32_t unitIndex,
                      UserMessages& messages, char decimalSeparator = '.',
                      ReportWriting report = ReportWriting::Write);

// The run command with OutputRate replaced by `outputRate` (kg/hr) after the
// texts have passed every check, and no report written: a trial output of a
// search keeps the texts' refusals and nothing else of their output.
RunOutcome RunCommandAtOutput(ModelState& state, const RunTexts& texts, int32_t unitIndex, double outputRate,
                              char decimalSeparator = '.');
