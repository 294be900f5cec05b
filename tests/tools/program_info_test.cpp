// What installing relies on: every program answers --version with the project's version
// and --help with a usage line (the manual pages are made from both), the monitor
// without a display; and the simulator finds its default log both in the build folder
// and in an installed tree.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "default_log.h"
#include "tidewright/version.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
};

// Runs a program with no display and no Qt platform chosen, as a build machine would.
Outcome runProgram(const std::string& program, const std::string& option) {
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + program + "' " + option;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    Outcome result{-1, {}};
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

struct Program {
    const char* name;
    const char* path;
};

const Program kPrograms[] = {
    {"tidewright", TIDEWRIGHT_MONITOR_EXECUTABLE},
    {"tidewright-decode", TIDEWRIGHT_DECODE_EXECUTABLE},
    {"tidewright-sim", TIDEWRIGHT_SIM_EXECUTABLE},
    {"tidewright-relay", TIDEWRIGHT_RELAY_EXECUTABLE},
};

TEST(ProgramInfo, EveryProgramAnswersVersionAndHelpWithoutADisplay) {
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.name);
        const Outcome version = runProgram(program.path, "--version");
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out, std::string(program.name) + " " + tidewright::kVersion + "\n");

        const Outcome help = runProgram(program.path, "--help");
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind(std::string("Usage: ") + program.name + " ", 0), 0u) << help.out;
        EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
    }
}

TEST(DefaultLog, BuildFolderCopyFirstThenTheInstalledOne) {
    const fs::path root =
        fs::temp_directory_path() / ("tw-default-log-" + std::to_string(::getpid()));
    const std::string bin = (root / "usr/bin").string();
    const std::string installed = (root / "usr/share/tidewright/default.nmea").string();
    const std::string beside = bin + "/default.nmea";
    struct Case {
        const char* name;
        bool besideExists;
        bool installedExists;
        const char* dataFromBinDir;
        std::string expected;
    };
    const Case cases[] = {
        {"build folder", true, false, "../share/tidewright", beside},
        {"both: the build folder's wins", true, true, "../share/tidewright", beside},
        {"installed", false, true, "../share/tidewright", installed},
        {"installed, data dir given with a slash", false, true, "../share/tidewright/", installed},
        {"neither: where it belongs", false, false, "../share/tidewright", installed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root);
        fs::create_directories(root / "usr/bin");
        fs::create_directories(root / "usr/share/tidewright");
        if (c.besideExists) {
            std::ofstream(beside) << "$GPGGA\n";
        }
        if (c.installedExists) {
            std::ofstream(installed) << "$GPGGA\n";
        }
        EXPECT_EQ(sim::defaultLogPath(bin + "/tidewright-sim", c.dataFromBinDir), c.expected);
    }
    fs::remove_all(root);
}

}  // namespace
