// tidewright-decode --lint as a device maker's CI runs it: the findings of a crafted
// file with known faults counted exactly, and the exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct LintRun {
    std::string output;
    int status = -1;
};

LintRun lint(const std::string& arguments) {
    const std::string command =
        std::string(TIDEWRIGHT_DECODE_EXECUTABLE) + " --lint " + arguments + " 2>&1";
    LintRun run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.output.append(buffer.data(), got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string lastLine(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n');
    const std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

const std::string kFaulty = std::string(TIDEWRIGHT_TEST_DATA) + "/conformance/faulty.nmea";

TEST(Lint, CountsOfTheFaultyFileAreExact) {
    const LintRun run = lint(kFaulty);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(lastLine(run.output),
              "{\"summary\": {\"sentences\": 21, \"errors\": 10, \"warnings\": 4, \"rules\": "
              "{\"line-end\": 1, \"checksum-missing\": 1, \"checksum-case\": 1, "
              "\"checksum-mismatch\": 1, \"too-long\": 1, \"trailing-data\": 1, "
              "\"talker-unknown\": 1, \"field-count\": 2, \"field-format\": 1, "
              "\"field-range\": 1, \"field-enum\": 1, \"gsv-group\": 1, \"ais-fill-bits\": 1}}}");
    // One finding in full: its line in the file (comments counted), key and field.
    EXPECT_NE(run.output.find(
                  "{\"line\": 12, \"key\": \"$GPGLL\", \"rule\": \"field-enum\", \"severity\": "
                  "\"error\", \"field\": 2, \"name\": \"ns\", \"message\": \"field 2 (ns) is "
                  "'X'; expected hemisphere N, S\", \"sentence\": "
                  "\"$GPGLL,4807.038,X,01131.000,E,123521.00,A,A*7B\"}\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("\"sentence\": \"$IIVHW,,T,,M,5.2,N,9.6,K*5D 0x1F\""),
              std::string::npos);
}

TEST(Lint, ExitStatuses) {
    const std::string dir = std::string(TIDEWRIGHT_TEST_DATA) + "/conformance/";
    const struct {
        std::string arguments;
        int status;
    } rows[] = {
        {dir + "clean.nmea", 0},
        {dir + "warnings.nmea", 0},
        {"--fail-on warning " + dir + "warnings.nmea", 1},
        {"--fail-on error " + dir + "warnings.nmea", 0},
        {kFaulty, 1},
        {"--nmea-version 4.10 " + dir + "clean.nmea", 1},  // RMC of 2.3 lacks a field
        {"--nmea-version 2.3 " + dir + "clean.nmea", 0},
        {"--nmea-version 5 " + dir + "clean.nmea", 2},
        {"--fail-on never " + dir + "clean.nmea", 2},
        {dir + "missing.nmea", 2},
    };
    for (const auto& row : rows) {
        const LintRun run = lint(row.arguments);
        EXPECT_EQ(run.status, row.status) << row.arguments << "\n" << run.output;
    }
}

TEST(Lint, StandardInputAndNoSentences) {
    const LintRun run = lint("- < /dev/null");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "{\"summary\": {\"sentences\": 0, \"errors\": 0, \"warnings\": 0, \"rules\": {}}}\n");
}

}  // namespace
