#include "common/crash_handler.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace {

struct CrashCase {
  int sig;
  const char* line;
};

void PrintTo(const CrashCase& c, std::ostream* os) { *os << c.line; }

class CrashHandlerTest : public ::testing::TestWithParam<CrashCase> {};

// The crash happens in a child process; the parent reads what it left.
TEST_P(CrashHandlerTest, FatalSignalWritesReportAndStillEndsTheProcess) {
  TempDir dir;
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string error;
    if (InstallCrashHandler("Velaport", "2.5.1.685", dir.Path(), &error) != 0) _exit(3);
    raise(GetParam().sig);
    _exit(4);  // not reached: the signal is raised again with its default action
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), GetParam().sig);

  std::vector<std::filesystem::path> reports;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    reports.push_back(entry.path());
  ASSERT_EQ(reports.size(), 1u);
  const std::string name = reports[0].filename().string();
  EXPECT_EQ(name.rfind("Velaport-crash-", 0), 0u) << name;
  EXPECT_NE(name.find("-" + std::to_string(child) + ".txt"), std::string::npos) << name;
  const std::string report = ReadBytes(reports[0].string());
  EXPECT_EQ(report.rfind("Velaport 2.5.1.685 crash report\n", 0), 0u) << report;
  EXPECT_NE(report.find(GetParam().line), std::string::npos) << report;
  const size_t trace = report.find("backtrace:\n");
  ASSERT_NE(trace, std::string::npos);
  EXPECT_GT(report.size(), trace + 12) << "no frames listed";
}

INSTANTIATE_TEST_SUITE_P(Signals, CrashHandlerTest,
                         ::testing::Values(CrashCase{SIGSEGV, "signal 11 (SIGSEGV)"},
                                           CrashCase{SIGABRT, "signal 6 (SIGABRT)"},
                                           CrashCase{SIGFPE, "signal 8 (SIGFPE)"}));

TEST(CrashHandler, UninstallGivesTheSignalsBack) {
  TempDir dir;
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string error;
    if (InstallCrashHandler("VelaportService", "2.5.1.685", dir.Path(), &error) != 0) _exit(3);
    UninstallCrashHandler();
    raise(SIGSEGV);
    _exit(4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
