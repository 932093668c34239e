// The bench's output: a table with a goal and a verdict beside each figure,
// and every sample summary as JSON.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tests/bench/bench_stats.h"

// The three programs of a run, in the table's column order.
enum BenchProgram { BenchKeyvane, BenchReference, BenchBare, BenchPrograms };

constexpr double NoValue = -1;  // a column with no figure

enum Verdict { Reported, Pass, FallsShort };

struct Row {
    std::string figure;
    double values[BenchPrograms];
    std::string goal;  // with its limit worked out, or "" for a fact
    Verdict verdict;
};

// A goal for Keyvane's figure: met when it is at most limit.
Row GoalRow(const std::string& figure, const double (&values)[BenchPrograms], const std::string& goal,
            double limit);
Row FactRow(const std::string& figure, const double (&values)[BenchPrograms]);

struct SampleSet {
    std::string figure;
    BenchProgram program;
    Summary summary;
};

void PrintTable(FILE* out, const std::vector<Row>& rows);
bool WriteJson(const char* path, const std::string& target, const std::vector<SampleSet>& sets,
               const std::vector<Row>& rows, const std::vector<std::string>& imports);
