#include "results/study_header.h"

#include "results/limit_study.h"
#include "results/melt_study_columns.h"
#include "results/study_rows.h"

std::string StudyFileHeader(const StudyPlan& plan, const LimitSearch* find, int32_t unitIndex,
                            const std::optional<MeltRequest>& melt) {
  std::string header = find ? LimitStudyHeader(plan, *find, unitIndex) : StudyHeader(plan, unitIndex);
  if (melt) {
    header.pop_back();  // the line end, after the stage's columns
    header += MeltStudyHeader(melt->OperatingPoint) + '\n';
  }
  return header;
}
