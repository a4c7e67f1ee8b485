#pragma once
// The outcome of a run as files for other programs name it.

#include "app/run_command.h"

inline const char* OutcomeName(RunResult result) {
  switch (result) {
    case RunResult::Completed:
      return "Completed";
    case RunResult::Rejected:
      return "Rejected";
    case RunResult::Failed:
      break;
  }
  return "Failed";
}
