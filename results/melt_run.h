#pragma once
// A melting run followed, when asked, by the melt-conveying stage and its
// operating point search: the one sequence the batch tool's single run and
// every case of a study go through.

#include <optional>
#include <string>

#include "materials/project_file.h"
#include "melt/melt_operating_point.h"
#include "melt/melt_stage.h"

struct MeltRunResult {
  MeltRunOutcomes Outcomes;  // the melting run's, and the stage's when it ran or was refused
  MeltStage Stage;           // holds the stage's figures when Outcomes.Melt is Completed
  std::optional<MeltOperatingPoints> OperatingPoints;  // when asked and the stage completed

  bool StageCompleted() const { return Outcomes.Melt && Outcomes.Melt->Result == RunResult::Completed; }
};

// The melting run of `setup` (its texts in setup.DecimalSeparator), then,
// with setup.MeltStage, the stage on setup.Melt and, when `operatingPoint`,
// its search. `state` ends as the melting run at the texts' own output left
// it; the search runs on states of its own. `search` is handed to the search.
MeltRunResult RunWithMelt(ModelState& state, const RunSetup& setup, UserMessages& messages, ReportWriting report,
                          bool operatingPoint = false, const OperatingPointSettings& search = {});

// The operating point's output as the window and the batch tool show it, and
// as "Use ... as Output" puts it back into the Output field: kg/hr to three
// decimals, in the run's decimal separator. Its pressure margin reads 0.000
// MPa or more, so that output reaches the die (MarginReachesDie).
inline constexpr int OperatingPointDecimals = 3;
std::string OperatingPointOutputText(double output, char decimalSeparator = '.');
