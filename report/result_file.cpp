#include "report/result_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "report/format_number.h"
#include "report/replace_file.h"

namespace {

// The report is code page 932 text: the degree sign is these two bytes. The
// literals below end right after it so that no following character can be
// read as part of the hex escape.
#define DEGREE "\x81\x8E"

constexpr const char* LineEnd = "\r\n";

struct EchoLine {
  const char* Label;
  double ModelInputs::*Value;
  NumberForm Form;
  int32_t Precision;
  int32_t Digits;
};

constexpr NumberForm Fixed = NumberForm::FixedForm;
constexpr NumberForm Exponent = NumberForm::ExponentForm;

// Labels are 43 bytes: "=" at byte 41, the number from byte 44.
const EchoLine EchoLines[InputCount] = {
    {"Screw Diameter                     (cm) =  ", &ModelInputs::ScrewDiameter, Fixed, 5, 1},
    {"Turns of Feed Zone                      =  ", &ModelInputs::FeedTurns, Fixed, 5, 1},
    {"Turns of Compression Zone               =  ", &ModelInputs::CompressionTurns, Fixed, 5, 1},
    {"Turns of Metering Zone                  =  ", &ModelInputs::MeteringTurns, Fixed, 5, 1},
    {"Turns of Delay in Metering              =  ", &ModelInputs::DelayTurns, Fixed, 5, 1},
    {"Depth of Feed Zone Channel         (cm) =  ", &ModelInputs::FeedDepth, Fixed, 5, 2},
    {"Depth of Metering Zone Channel     (cm) =  ", &ModelInputs::MeteringDepth, Fixed, 5, 2},
    {"Screw Pitch                        (cm) =  ", &ModelInputs::ScrewPitch, Fixed, 5, 1},
    {"Flight Width                       (cm) =  ", &ModelInputs::FlightWidth, Fixed, 5, 2},
    {"Number of Revolution              (rpm) =  ", &ModelInputs::ScrewSpeed, Fixed, 5, 1},
    {"Output                          (kg/hr) =  ", &ModelInputs::OutputRate, Fixed, 6, 1},
    {"Barrel Temperature Para.(B0)       (" DEGREE ") =  ", &ModelInputs::BarrelB0, Fixed, 6, 1},
    {"Barrel Temperature Para.(B1)            =  ", &ModelInputs::BarrelB1, Fixed, 8, 3},
    {"Barrel Temperature Para.(B2)            =  ", &ModelInputs::BarrelB2, Fixed, 8, 3},
    {"Viscosity Equation Para. (m0)           =  ", &ModelInputs::ViscM0, Exponent, 5, 2},
    {"Viscosity Equation Para. (b)            =  ", &ModelInputs::ViscB, Exponent, 5, 2},
    {"Viscosity Equation Para. (n)            =  ", &ModelInputs::ViscN, Fixed, 6, 4},
    {"Viscosity Equation Para. (T0)           =  ", &ModelInputs::ViscT0, Fixed, 5, 1},
    {"Density of Solid                (g/cm3) =  ", &ModelInputs::SolidDensity, Fixed, 5, 3},
    {"Density of Melt                 (g/cm3) =  ", &ModelInputs::MeltDensity, Fixed, 5, 3},
    {"Specific Heat of Solid       (cal/g." DEGREE ") =  ", &ModelInputs::SolidSpecificHeat, Fixed, 5, 3},
    {"Heat of Fusion                  (cal/g) =  ", &ModelInputs::HeatOfFusion, Fixed, 6, 2},
    {"Specific Heat of Melt        (cal/g." DEGREE ") =  ", &ModelInputs::MeltSpecificHeat, Fixed, 5, 3},
    {"Thermal Cond. of Melt     (cal/s.cm." DEGREE ") =  ", &ModelInputs::MeltConductivity, Fixed, 9, 7},
    {"Melting Point                      (" DEGREE ") =  ", &ModelInputs::MeltingPoint, Fixed, 5, 1},
    {"Solid Temperature at Inlet         (" DEGREE ") =  ", &ModelInputs::SolidInletTemp, Fixed, 5, 1},
    {"Solid Bed Compaction Factor at Inlet    =  ", &ModelInputs::InletCompaction, Fixed, 6, 3},
    {"Solid Width Ratio at Start              =  ", &ModelInputs::StartWidthRatio, Fixed, 6, 3},
};

constexpr const char* BedTempLabel = "Solid Bed Temp. at Melt. Starts    (" DEGREE ") =  ";
constexpr const char* AngleLabel = "Solid Conveying Angle             (rad) =  ";
constexpr const char* TableHeader = " FLIGHT   DEPTH   FILM THICK   X/W      QS/QT      TB ";
constexpr const char* PowerLabel = "Motor Power for Melting [Solid Bed Part]  (kW) =  ";
constexpr const char* EnergyLabel = "Net Melting Energy after melting starts   (kW) =  ";

#undef DEGREE

constexpr const char* OpenFailureMessage = "File can not open!";
constexpr const char* TableOpenFailureMessage = "Can not write result to file";

std::runtime_error WriteFailure(const std::string& name, int error) {
  const std::string reason = error != 0 ? std::strerror(error) : "input/output error";
  return std::runtime_error("Can not write result file " + name + ": " + reason);
}

// Writes one report line to a stream opened elsewhere. A failed write throws
// with the system's reason, so a full disk ends the run instead of leaving a
// silently truncated report.
void PutLine(std::FILE* file, const std::string& name, const std::string& text) {
  std::string line = text;
  line += LineEnd;
  errno = 0;
  if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) {
    throw WriteFailure(name, errno);
  }
}

// One single pass's hold on the result file: closed on every way out, and a
// close that fails to write the last buffered lines throws like a write.
class ResultFile {
 public:
  ResultFile(std::FILE* file, const std::string& name) : file_(file), name_(name) {}
  ResultFile(const ResultFile&) = delete;
  ResultFile& operator=(const ResultFile&) = delete;
  ~ResultFile() {
    if (file_ != nullptr) std::fclose(file_);
  }

  std::FILE* Stream() const { return file_; }

  void Close() {
    std::FILE* file = file_;
    file_ = nullptr;
    errno = 0;
    if (std::fclose(file) != 0) throw WriteFailure(name_, errno);
  }

 private:
  std::FILE* file_;
  std::string name_;
};

// A name with a NUL byte would silently open the file named by its first part.
bool UsableName(const std::string& name) { return name.find('\0') == std::string::npos; }

// Creates the file or empties an existing one.
std::FILE* OpenForWriting(const std::string& name) {
  if (!UsableName(name)) return nullptr;
  return std::fopen(name.c_str(), "wb");
}

// Appends to a file that must already exist: fopen's "ab" would create a
// missing file, which must count as an open failure instead.
std::FILE* OpenForAppending(const std::string& name) {
  if (!UsableName(name)) return nullptr;
  const int descriptor = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  std::FILE* file = ::fdopen(descriptor, "ab");
  if (file == nullptr) ::close(descriptor);
  return file;
}

// The angle in degrees, with the product and quotient carried in extended precision.
double DegreesOf(double radians) {
  constexpr long double Pi = 3.14159265358979323846264338327950288L;
  return static_cast<double>(static_cast<long double>(radians) * 180.0L / Pi);
}

// The lines of the three passes, written to a stream that is already open.

void InputEchoLines(std::FILE* file, const ModelState& state, char decimalSeparator) {
  const ModelInputs& inputs = state.Inputs;
  const std::string& name = inputs.ResultFileName;
  for (const EchoLine& line : EchoLines) {
    PutLine(file, name,
            line.Label + FormatNumber(inputs.*line.Value, line.Form, line.Precision, line.Digits,
                                      decimalSeparator));
  }
  PutLine(file, name,
          inputs.ViscosityUnit == ViscosityUnit::PaS ? "(Note: Viscosity Unit is [Pa.s])"
                                                     : "(Note: Viscosity Unit is [gf.s/cm2])");
  PutLine(file, name, "");
  PutLine(file, name, "");
}

void ResultsHeaderLines(std::FILE* file, const ModelState& state, char decimalSeparator) {
  const std::string& name = state.Inputs.ResultFileName;
  const OperatingPoint& operating = state.Operating;
  PutLine(file, name, "[RESULTS]");
  PutLine(file, name,
          BedTempLabel + FormatNumber(operating.MeltStartBedTemp, NumberForm::FixedForm, 5, 1,
                                      decimalSeparator));
  PutLine(file, name,
          AngleLabel +
              FormatNumber(operating.ConveyingAngle, NumberForm::ExponentForm, 5, 2,
                           decimalSeparator) +
              "  [" +
              FormatNumber(DegreesOf(operating.ConveyingAngle), NumberForm::FixedForm, 6, 4,
                           decimalSeparator) +
              "deg]");
  PutLine(file, name, "");
}

void ProfileTableLines(std::FILE* file, const ModelState& state, char decimalSeparator) {
  const std::string& name = state.Inputs.ResultFileName;
  PutLine(file, name, TableHeader);

  const AxialGrid& grid = state.Grid;
  const MeltingProfile& profile = state.Profile;
  // The arrays hold MaxGridPoints entries; never read past them whatever the count says.
  const int rows = std::clamp<int>(profile.RowCount, 0, MaxGridPoints);
  for (int i = 0; i < rows; ++i) {
    std::string row = " ";
    row += FormatPadded(5, 2, grid.Flight[i], decimalSeparator);
    row += "    ";
    row += FormatPadded(5, 3, grid.Depth[i], decimalSeparator);
    row += "     ";
    row += FormatPadded(6, 4, profile.FilmThickness[i], decimalSeparator);
    row += "    ";
    row += FormatPadded(6, 4, profile.WidthRatio[i], decimalSeparator);
    row += "    ";
    row += FormatPadded(6, 4, profile.SolidFraction[i], decimalSeparator);
    row += "    ";
    row += FormatPadded(5, 1, grid.BarrelTemp[i], decimalSeparator);
    PutLine(file, name, row);
  }

  PutLine(file, name, "");
  PutLine(file, name,
          PowerLabel + FormatNumber(profile.MeltingPower, NumberForm::FixedForm, 6, 1,
                                    decimalSeparator));
  PutLine(file, name,
          EnergyLabel + FormatNumber(profile.NetMeltingEnergy, NumberForm::FixedForm, 6, 1,
                                     decimalSeparator));
  PutLine(file, name, "");
}

using PassLines = void (*)(std::FILE*, const ModelState&, char);

// One pass on its own: open the file, write the pass's lines, close it.
void WritePass(std::FILE* handle, const char* openFailureMessage, PassLines lines,
               const ModelState& state, UserMessages& messages, char decimalSeparator) {
  if (handle == nullptr) {
    messages.ShowMessage(openFailureMessage);
    return;
  }
  ResultFile file(handle, state.Inputs.ResultFileName);
  lines(file.Stream(), state, decimalSeparator);
  file.Close();
}

}  // namespace

void WriteInputEcho(const ModelState& state, UserMessages& messages, char decimalSeparator) {
  WritePass(OpenForWriting(state.Inputs.ResultFileName), OpenFailureMessage, InputEchoLines, state,
            messages, decimalSeparator);
}

void WriteResultsHeader(const ModelState& state, UserMessages& messages, char decimalSeparator) {
  WritePass(OpenForAppending(state.Inputs.ResultFileName), OpenFailureMessage,
            ResultsHeaderLines, state, messages, decimalSeparator);
}

void WriteProfileTable(const ModelState& state, UserMessages& messages, char decimalSeparator) {
  WritePass(OpenForAppending(state.Inputs.ResultFileName), TableOpenFailureMessage,
            ProfileTableLines, state, messages, decimalSeparator);
}

void WriteReport(const ModelState& state, UserMessages& messages, char decimalSeparator) {
  const std::string& name = state.Inputs.ResultFileName;
  ReplacementFile file;
  if (!file.Open(name)) {
    // What the three passes would each have said of a file that can not be opened.
    messages.ShowMessage(OpenFailureMessage);
    messages.ShowReason(file.Error());
    messages.ShowMessage(OpenFailureMessage);
    messages.ShowMessage(TableOpenFailureMessage);
    return;
  }
  // A failed write throws; the replacement's destructor then removes the
  // temporary file and the old report stays as it was.
  InputEchoLines(file.Stream(), state, decimalSeparator);
  ResultsHeaderLines(file.Stream(), state, decimalSeparator);
  ProfileTableLines(file.Stream(), state, decimalSeparator);
  if (!file.Commit()) throw WriteFailure(name, file.ErrorNumber());
}
