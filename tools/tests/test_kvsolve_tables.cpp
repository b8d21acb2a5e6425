// kvsolve --format csv and --format text: the Results page (and the Updated
// Data page) as Save and Print write them.
#include "kvsolve_fixture.h"

#include "model.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifdef KVSOLVE_TABLE_FORMATS

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find("\r\n", start)) != std::string::npos; start = pos + 2) {
        lines.push_back(text.substr(start, pos - start));
    }
    EXPECT_EQ(start, text.size()) << "the output ends with CR LF";
    return lines;
}

// The separator follows the user's locale (',' or ';'); row 0 starts with
// "Variable " and the separator.
char Separator(const std::string& firstLine) {
    const char sep = firstLine.size() > 9 ? firstLine[9] : '?';
    EXPECT_TRUE(sep == ',' || sep == ';') << firstLine;
    return sep;
}

// Fields of one saved line; a quoted field runs to the quote before a separator.
std::vector<std::string> SplitFields(const std::string& line, char sep) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        const bool quoted = line[i] == '"';
        const std::size_t end =
            quoted ? line.find(std::string("\"") + sep, i + 1) : line.find(sep, i);
        if (end == std::string::npos) {
            ADD_FAILURE() << "field without separator in " << line;
            break;
        }
        fields.push_back(quoted ? line.substr(i + 1, end - i - 1) : line.substr(i, end - i));
        i = end + (quoted ? 2 : 1);
    }
    return fields;
}

using KvSolveTables = KvSolveFixture;

TEST_F(KvSolveTables, CsvResultsMatchTheJsonRoundedToThreeDecimals) {
    const auto json = Run({"--shock", "t2=-10"});
    const auto csv = Run({"--shock", "t2=-10", "--format", "csv"});
    ASSERT_EQ(json.status, 0) << json.err;
    ASSERT_EQ(csv.status, 0) << csv.err;
    const auto doc = nlohmann::json::parse(json.out);
    std::set<std::string> exogenous;
    for (const auto& name : doc["exogenous"]) {
        exogenous.insert(name.get<std::string>());
    }

    const auto lines = SplitLines(csv.out);
    ASSERT_EQ(lines.size(), 53u);
    const char sep = Separator(lines[0]);
    EXPECT_EQ(lines[0], std::string("Variable ") + sep + "Sim 1" + sep);
    int marked = 0;
    for (std::size_t r = 1; r < lines.size(); ++r) {
        EXPECT_EQ(lines[r].back(), sep);
        const auto fields = SplitFields(lines[r], sep);
        ASSERT_EQ(fields.size(), 2u) << lines[r];
        const std::string name = fields[0].substr(0, fields[0].find("  "));
        EXPECT_EQ(fields[0], name + "  " + kv::VarDesc(static_cast<int>(r)));
        std::string value = fields[1];
        const bool isMarked = !value.empty() && value[0] == '#';
        EXPECT_EQ(isMarked, exogenous.count(name) == 1) << name;
        if (isMarked) {
            ++marked;
            value.erase(0, 1);
        }
        ASSERT_EQ(value.size() - value.find('.'), 4u) << "three decimals: " << value;
        const double expected = doc["results"][name].get<double>();
        EXPECT_NEAR(std::stod(value), expected, 0.0005 + 1e-12) << name;
        EXPECT_EQ(std::stod(value), std::round(expected * 1000) / 1000 + 0.0) << name;
    }
    EXPECT_EQ(marked, 13);
    EXPECT_NE(csv.out.find(std::string("#-10.000") + sep), std::string::npos);
}

TEST_F(KvSolveTables, CsvUpdatedDataFollowsTheResults) {
    const auto json = Run({"--shock", "t2=-10", "--updated-data", "--title", "Tax cut"});
    const auto csv =
        Run({"--shock", "t2=-10", "--format", "csv", "--updated-data", "--title", "Tax cut"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const auto doc = nlohmann::json::parse(json.out);
    const auto lines = SplitLines(csv.out);
    ASSERT_EQ(lines.size(), 53u + 12u);
    const char sep = Separator(lines[0]);
    EXPECT_EQ(lines[0], std::string("Variable ") + sep + "Tax cut" + sep);
    std::string heading = " ,Ind. 1,Ind. 2,Households,Exports,(Duty),Row totals,";
    std::replace(heading.begin(), heading.end(), ',', sep);
    EXPECT_EQ(lines[53], heading);
    for (int r = 1; r <= kv::DataRows; ++r) {
        const auto fields = SplitFields(lines[53 + r], sep);
        ASSERT_EQ(fields.size(), 7u) << lines[53 + r];
        const double d11 = doc["updated_data"]["values"][r - 1][0].get<double>();
        EXPECT_EQ(std::stod(fields[1]), std::round(d11 * 100) / 100 + 0.0) << "row " << r;
    }
}

TEST_F(KvSolveTables, TextIsThePaginatedPrintout) {
    const auto text = Run({"--shock", "t2=-10", "--format", "text"});
    ASSERT_EQ(text.status, 0) << text.err;
    const auto lines = SplitLines(text.out);
    ASSERT_EQ(lines.size(), 5u + 53u); // the page top, row 0 and the 52 variables
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1].rfind("    Page 1 of WinVELMAR Printout: ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "    Simulation Results");
    EXPECT_NE(lines[5].find("Variable "), std::string::npos);
    EXPECT_NE(lines[5].find("Sim 1"), std::string::npos);
    for (const auto& line : lines) {
        EXPECT_LE(line.size(), 80u) << line;
    }
    EXPECT_EQ(text.out.find('\f'), std::string::npos) << "one solution fits one page";
    // All 52 variables are printed once, with the exogenous values marked.
    int marked = 0;
    for (const auto& line : lines) {
        marked += line.find('#') != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(marked, 13);
}

TEST_F(KvSolveTables, TextWithUpdatedDataStartsASecondPrintout) {
    const auto text = Run({"--format", "text", "--updated-data"});
    ASSERT_EQ(text.status, 0) << text.err;
    const auto ff = text.out.find('\f');
    ASSERT_NE(ff, std::string::npos);
    EXPECT_EQ(text.out.substr(ff, 6), "\f\r\n   ");
    EXPECT_NE(text.out.find("    Updated Data\r\n", ff), std::string::npos);
}

TEST_F(KvSolveTables, FailedSolutionWritesNoTable) {
    const auto csv = Run({"--swap", "x(32)1:phi", "--format", "csv"});
    EXPECT_EQ(csv.status, 1);
    EXPECT_TRUE(csv.out.empty());
    EXPECT_NE(csv.err.find("Singular matrix"), std::string::npos);
}

} // namespace

#endif
