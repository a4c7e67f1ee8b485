#include "results/study_header.h"

#include "results/limit_study.h"
#include "results/melt_study_columns.h"
#include "results/study_rows.h"

std::string StudyFileHeader(const StudyPlan& plan, const LimitSearch* find, const StudySettings& settings) {
  const int32_t unitIndex = settings.Base.UnitIndex;
  std::string header = find ? LimitStudyHeader(plan, *find, unitIndex) : StudyHeader(plan, unitIndex);
  if (settings.Base.MeltStage) {
    header.pop_back();  // the line end, after the stage's columns
    header += MeltStudyHeader(settings.OperatingPoint) + '\n';
  }
  return header;
}
