#include "tests/bench/bench_report.h"

namespace {

const char* const ProgramNames[BenchPrograms] = {"Keyvane", "reference", "bare window"};
const char* const VerdictNames[] = {"", "PASS", "FALLS SHORT"};

void PrintValue(FILE* out, double value)
{
    if (value == NoValue)
        std::fprintf(out, " %11s", "-");
    else
        std::fprintf(out, " %11.2f", value);
}

void JsonValue(FILE* out, double value)
{
    if (value == NoValue)
        std::fprintf(out, "null");
    else
        std::fprintf(out, "%.4f", value);
}

}  // namespace

Row GoalRow(const std::string& figure, const double (&values)[BenchPrograms], const std::string& goal,
            double limit)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s (%.2f)", goal.c_str(), limit);
    // A figure the system does not tell is no pass.
    if (values[BenchKeyvane] == NoValue)
        return Row{figure, {values[0], values[1], values[2]}, goal + " (not told here)", Reported};
    return Row{figure, {values[0], values[1], values[2]}, text, values[BenchKeyvane] <= limit ? Pass : FallsShort};
}

Row FactRow(const std::string& figure, const double (&values)[BenchPrograms])
{
    return Row{figure, {values[0], values[1], values[2]}, "", Reported};
}

void PrintTable(FILE* out, const std::vector<Row>& rows)
{
    std::fprintf(out, "%-38s %11s %11s %11s  %-30s %s\n", "Figure", ProgramNames[0], ProgramNames[1],
                 ProgramNames[2], "Goal for Keyvane", "");
    for (const Row& row : rows) {
        std::fprintf(out, "%-38s", row.figure.c_str());
        for (double value : row.values)
            PrintValue(out, value);
        std::fprintf(out, "  %-30s %s\n", row.goal.empty() ? "reported" : row.goal.c_str(),
                     VerdictNames[row.verdict]);
    }
}

bool WriteJson(const char* path, const std::string& target, const std::vector<SampleSet>& sets,
               const std::vector<Row>& rows, const std::vector<std::string>& imports)
{
    FILE* out = std::fopen(path, "w");
    if (!out)
        return false;
    std::fprintf(out, "{\n  \"target\": \"%s\",\n  \"samples\": [\n", target.c_str());
    for (size_t i = 0; i < sets.size(); ++i) {
        const SampleSet& set = sets[i];
        const Summary& s = set.summary;
        std::fprintf(out,
                     "    {\"figure\": \"%s\", \"program\": \"%s\", \"count\": %d, \"p50\": %.4f, \"p90\": %.4f, "
                     "\"p99\": %.4f, \"max\": %.4f}%s\n",
                     set.figure.c_str(), ProgramNames[set.program], s.count, s.p50, s.p90, s.p99, s.max,
                     i + 1 < sets.size() ? "," : "");
    }
    std::fprintf(out, "  ],\n  \"table\": [\n");
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        std::fprintf(out, "    {\"figure\": \"%s\"", row.figure.c_str());
        for (int p = 0; p < BenchPrograms; ++p) {
            std::fprintf(out, ", \"%s\": ", ProgramNames[p]);
            JsonValue(out, row.values[p]);
        }
        std::fprintf(out, ", \"goal\": \"%s\", \"verdict\": \"%s\"}%s\n", row.goal.c_str(),
                     row.verdict == Reported ? "reported" : VerdictNames[row.verdict], i + 1 < rows.size() ? "," : "");
    }
    std::fprintf(out, "  ],\n  \"imports\": [");
    for (size_t i = 0; i < imports.size(); ++i)
        std::fprintf(out, "%s\"%s\"", i ? ", " : "", imports[i].c_str());
    std::fprintf(out, "]\n}\n");
    return std::fclose(out) == 0;
}
