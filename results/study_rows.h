#pragma once
// The study file: UTF-8 CSV, one line per case in case order. A header names
// each column with its unit; numbers are in the shortest text that reads back
// to the same double, "." as decimal point; fields that hold a comma or a
// quote are quoted.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_command.h"
#include "results/run_summary.h"
#include "results/study_plan.h"

// case, the varied inputs, outcome, message, then the summary's columns.
std::string StudyHeader(const StudyPlan& plan, int32_t unitIndex);

// One case's line. `summary` is read only for a completed run; `note` is what
// the report writers told the user, shown as the message of a completed run.
std::string StudyRow(const StudyPlan& plan, uint64_t caseNumber, const RunOutcome& outcome,
                     const RunSummary& summary, const std::string& note = "");

// The two halves of a study's lines, for other tables of cases (one limit
// per case) that put columns of their own between them. The first: the case
// number and the varied inputs, each followed by a comma. The second:
// outcome, message, the summary's columns and the warnings, with the line end.
std::string StudyAxesHeader(const StudyPlan& plan, int32_t unitIndex);
std::string StudyAxesColumns(const StudyPlan& plan, uint64_t caseNumber);
std::string StudyOutcomeHeader();
std::string StudyOutcomeColumns(const RunOutcome& outcome, const RunSummary& summary,
                                const std::string& note = "");

// One CSV field: quoted when it holds a comma, a quote or a blank at either
// end; line ends become blanks so that every case stays on one line.
std::string CsvField(std::string_view text);
