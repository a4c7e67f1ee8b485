#include "results/profile_csv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

#include "completed_run.h"
#include "report/format_number.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
  return parts;
}

// Every row of the CSV reads back to the model's doubles and, formatted as
// the report formats its columns, gives the report's row.
TEST(ProfileCsv, ValuesReadBackExactlyAndRoundToTheReport) {
  for (const std::string output : {"300.0", "3000"}) {
    const CompletedRun run = RunWith(OutputRateIndex, output);
    const std::vector<std::string> lines = Split(ProfileCsv(*run.State), '\n');
    ASSERT_EQ(static_cast<int>(lines.size()), run.State->Profile.RowCount + 1);
    EXPECT_EQ(lines[0].rfind("point,flight (turns),depth (cm),film thickness (cm),X/W (-),QS/QT (-),", 0), 0u);

    const std::vector<std::string> reportLines = Split(run.Report, '\n');
    for (int i = 0; i < run.State->Profile.RowCount; ++i) {
      const std::vector<std::string> cells = Split(lines[i + 1], ',');
      ASSERT_EQ(cells.size(), 11u) << lines[i + 1];
      EXPECT_EQ(cells[0], std::to_string(i));
      const double barrel = std::strtod(cells[6].c_str(), nullptr);
      EXPECT_EQ(barrel, run.State->Grid.BarrelTemp[i]);
      EXPECT_EQ(std::strtod(cells[5].c_str(), nullptr), run.State->Profile.SolidFraction[i]);
      const std::string row = " " + FormatPadded(5, 2, std::strtod(cells[1].c_str(), nullptr)) + "    " +
                              FormatPadded(5, 3, std::strtod(cells[2].c_str(), nullptr)) + "     " +
                              FormatPadded(6, 4, std::strtod(cells[3].c_str(), nullptr)) + "    " +
                              FormatPadded(6, 4, std::strtod(cells[4].c_str(), nullptr)) + "    " +
                              FormatPadded(6, 4, std::strtod(cells[5].c_str(), nullptr)) + "    " +
                              FormatPadded(5, 1, barrel) + "\r";
      ASSERT_EQ(row, reportLines[36 + i]) << "output " << output << ", row " << i;
    }
  }
}

}  // namespace
