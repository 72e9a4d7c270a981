#include "catalogue_bench_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tomeferry::bench {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double cpuMs(const struct rusage& usage) {
  auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double selfCpuMs() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return cpuMs(usage);
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  std::size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Runs `argv` with stdout to `out` (or /dev/null) and stderr to /dev/null; nothing when it
// cannot be started or does not exit with 0.
std::optional<ProcessRun> runProcess(const std::vector<std::string>& argv, const std::string& out = "/dev/null",
                                     const std::vector<std::string>& env = {}) {
  Clock::time_point start = Clock::now();
  pid_t pid = fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int nullFd = open("/dev/null", O_WRONLY);
    if (outFd < 0 || nullFd < 0) _exit(127);
    dup2(outFd, 1);
    dup2(nullFd, 2);
    for (const std::string& assignment : env) putenv(const_cast<char*>(assignment.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return std::nullopt;
  ProcessRun run{msSince(start), cpuMs(usage), usage.ru_maxrss};
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return run;
}

}  // namespace

LargeCatalogue::LargeCatalogue() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tomeferry-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return;
  folder_ = pattern;
  std::string target = folder_ + "/db1.mdb";
  if (runProcess({"xz", "-dc", TOMEFERRY_LARGE_CATALOGUE_XZ}, target)) path_ = target;
}

LargeCatalogue::~LargeCatalogue() {
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

Timing measure(int runs, const std::function<void()>& work) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < runs; ++i) {
    double cpuStart = selfCpuMs();
    Clock::time_point start = Clock::now();
    work();
    wall.push_back(msSince(start));
    cpu.push_back(selfCpuMs() - cpuStart);
  }
  return {median(wall), median(cpu)};
}

std::optional<ProcessRun> mdbSqlMedian(const std::string& catalogue, const std::string& sqlGbk, int runs) {
  std::string sqlFile = std::filesystem::path(catalogue).parent_path() / "statement.sql";
  std::ofstream(sqlFile, std::ios::binary | std::ios::trunc) << sqlGbk << "\n";
  std::vector<double> wall, cpu;
  long peak = 0;
  for (int i = 0; i < runs; ++i) {
    std::optional<ProcessRun> run = runProcess({"mdb-sql", "-P", "-i", sqlFile, catalogue}, "/dev/null", {"MDBICONV=GBK"});
    if (!run) return std::nullopt;
    wall.push_back(run->ms);
    cpu.push_back(run->cpuMs);
    peak = std::max(peak, run->peakRssKb);
  }
  return ProcessRun{median(wall), median(cpu), peak};
}

long peakRssKb() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void printComparison(const std::string& label, std::size_t rows, const Timing& ours,
                     const std::optional<ProcessRun>& mdbSql) {
  if (mdbSql)
    std::printf("%s (%zu rows): median %.1f ms; mdb-sql: %.1f ms; ratio %.2f | cpu %.1f ms; mdb-sql %.1f ms; ratio %.2f\n",
                label.c_str(), rows, ours.ms, mdbSql->ms, ours.ms / mdbSql->ms, ours.cpuMs, mdbSql->cpuMs,
                mdbSql->cpuMs > 0 ? ours.cpuMs / mdbSql->cpuMs : 0.0);
  else
    std::printf("%s (%zu rows): median %.1f ms; mdb-sql: not available | cpu %.1f ms\n", label.c_str(), rows, ours.ms,
                ours.cpuMs);
  std::fflush(stdout);
}

void compareListing(const std::string& label, const std::string& catalogue, const catalogue::Statement& statement,
                    catalogue::BookList& list, const std::function<std::size_t()>& rowCount, int runs) {
  Timing ours = measure(runs, [&] { catalogue::listBooks(catalogue, statement, list); });
  printComparison(label, rowCount(), ours, mdbSqlMedian(catalogue, statement.text, runs));
}

}  // namespace tomeferry::bench
