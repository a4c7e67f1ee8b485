// Inputs that pass validation but make the model impossible: the run fails
// with the fault's text, followed by a sentence an engineer can act on.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "app/run_command.h"

namespace {

class NoMessages : public UserMessages {
 public:
  void ShowMessage(const std::string& text) override { ADD_FAILURE() << "unexpected message " << text; }
};

struct FaultCase {
  const char* Name;
  std::map<int, std::string> Texts;  // canonical input number (1 to 28) -> text
  std::string Fault;
  std::string Explanation;
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.Name; }

class ExplainedFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ExplainedFault, FollowsTheFaultText) {
  const FaultCase& c = GetParam();
  RunTexts texts = InitialRunTexts();
  for (const auto& [number, text] : c.Texts) texts[number - 1] = text;
  texts[InputCount] =
      (std::filesystem::temp_directory_path() / ("chung-fault-" + std::to_string(::getpid()))).string();
  const auto state = std::make_unique<ModelState>();
  NoMessages messages;

  const RunOutcome outcome = RunCommand(*state, texts, InitialUnitIndex, messages);
  EXPECT_EQ(outcome.Result, RunResult::Failed);
  EXPECT_EQ(outcome.Message, c.Fault);
  EXPECT_EQ(outcome.Explanation, c.Explanation);
  EXPECT_EQ(OutcomeMessage(outcome), c.Fault + ". " + c.Explanation);
  EXPECT_FALSE(std::filesystem::exists(texts[InputCount]));
}

// The viscosity law is fixed in the window and in data files; only the run
// command itself can be given these values.
INSTANTIATE_TEST_SUITE_P(
    Causes, ExplainedFault,
    ::testing::Values(
        FaultCase{"BarrelBelowMeltingPoint", {{12, "250"}},
                  "Floating point invalid operation while computing FilmThickness",
                  "The barrel (250.0 \u00B0C at turn 5.00) is not hotter than the melting point (265.0 \u00B0C): "
                  "raise B0 or lower the melting point."},
        FaultCase{"BarrelLawBelowMeltingPoint", {{13, "0.3"}, {14, "-0.01"}},
                  "Floating point invalid operation while computing FilmThickness",
                  "The barrel (203.0 \u00B0C at turn 5.00) is not hotter than the melting point (265.0 \u00B0C): "
                  "raise B0, change B1 or B2, or lower the melting point."},
        // Exactly at the melting point: the film is 0 and its temperature factor 0/0.
        FaultCase{"BarrelAtMeltingPoint", {{12, "265.0"}},
                  "Floating point invalid operation while computing ViscTempFactor",
                  "The barrel (265.0 \u00B0C at turn 5.00) is not hotter than the melting point (265.0 \u00B0C): "
                  "raise B0 or lower the melting point."},
        FaultCase{"InletAboveMeltingPoint", {{26, "320"}},
                  "Floating point invalid operation while computing FilmThickness",
                  "The solid at the inlet (320.00 \u00B0C) is so far above the melting point (265.0 \u00B0C) that "
                  "it needs no heat to melt: lower the solid temperature at inlet below 309.25 \u00B0C "
                  "(melting point + heat of fusion / specific heat of the solid)."},
        FaultCase{"FlightAsWideAsPitch", {{9, "15"}},
                  "Floating point division by zero while computing ConveyingAngle",
                  "The flight width (15.00 cm) is not less than the screw pitch (15.0 cm), so the channel has no "
                  "width: make the flight width smaller than the pitch."},
        FaultCase{"FeedDepthAsDiameter", {{6, "15"}},
                  "Floating point division by zero while computing ConveyingAngle",
                  "The feed zone channel (15.00 cm deep) is not shallower than the screw diameter (15.0 cm): "
                  "make the depth of the feed zone channel less than the diameter."},
        // The walk melts more than there is in one step of a screw that
        // conveys almost nothing: QS/QT would be -inf, which no export may hold.
        FaultCase{"OutputRateTooSmallForAnyFigure", {{11, "5e-324"}},
                  "Floating point division by zero while computing EndSolidFraction",
                  "The solid conveying angle came out at -1.1e-08\u00B0, outside 0\u00B0 to 90\u00B0: the screw "
                  "cannot convey this output at this screw speed, so the melting model has no solution. Lower the "
                  "output or raise the screw speed."},
        FaultCase{"MeteringDepthAsDiameter", {{7, "15"}},
                  "Floating point division by zero while computing BedWidth",
                  "The metering zone channel (15.00 cm deep) is not shallower than the screw diameter (15.0 cm): "
                  "make the depth of the metering zone channel less than the diameter."},
        FaultCase{"PowerLawIndexZero", {{17, "0"}},
                  "Floating point division by zero while computing ViscTempGroup",
                  "The power-law index n of the viscosity law (0.0000) is zero, and the film's temperature "
                  "group divides by it: set n above 0."},
        FaultCase{"PowerLawIndexTwo", {{17, "2"}},
                  "Floating point division by zero while computing ShearTerm",
                  "The power-law index n of the viscosity law (2.0000) makes the shear term divide by 2 - n = 0: "
                  "set n below 2."},
        FaultCase{"TemperatureCoefficientZero", {{16, "0"}},
                  "Floating point invalid operation while computing ViscTempFactor",
                  "The temperature coefficient b of the viscosity law (0.0000E+00) is zero, which leaves the "
                  "film's temperature factor undefined (0/0): set b above 0."},
        FaultCase{"OverfedScrew", {{10, "28"}, {11, "3000"}},
                  "Floating point invalid operation while computing FilmViscosity",
                  "The solid conveying angle came out at -758.9\u00B0, outside 0\u00B0 to 90\u00B0: the screw "
                  "cannot convey this output at this screw speed, so the melting model has no solution. Lower "
                  "the output or raise the screw speed."}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.Name); });

}  // namespace
