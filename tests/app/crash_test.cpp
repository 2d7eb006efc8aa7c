// Kills bgconv convert with SIGKILL at random moments of a 1,000-file run and
// checks what a crash may leave: every file either its original or its
// complete conversion, none missing, no kept original that is not the
// original.  Only the hidden temporary files of the write in flight may be
// left beside them.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <thread>

#include "support/run_program.h"
#include "support/temp_dir.h"

extern char** environ;

namespace bgconv {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kUnits = 500;  // each with a form: 1,000 files and the program file
constexpr int kTrials = 16;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// Big5 text: every lead byte A4-C6 with trail bytes in both ranges.
std::string Big5Text(std::mt19937& random, std::size_t characters) {
  std::string text;
  for (std::size_t i = 0; i < characters; ++i) {
    text += static_cast<char>(0xA4 + random() % 0x23);
    const auto trail = static_cast<unsigned>(random() % 157);
    text += static_cast<char>(trail < 63 ? 0x40 + trail : 0xA1 + (trail - 63));
    if (i % 30 == 29) text += "\r\n";
  }
  return text;
}

void MakeProject(const fs::path& folder) {
  fs::create_directories(folder);
  std::mt19937 random(2024);
  std::string program = "program Big;\n{ " + Big5Text(random, 10) + " }\nuses\r\n  Forms";
  for (int i = 0; i < kUnits; ++i) {
    const std::string name = "Unit" + std::to_string(i);
    program += ",\r\n  " + name + " in '" + name + ".pas' {Form" + std::to_string(i) + "}";
    WriteFile(folder / (name + ".pas"), "unit " + name + ";\n{ " + Big5Text(random, 600) + " }\nend.\n");
    WriteFile(folder / (name + ".dfm"), "object Form" + std::to_string(i) + ": TForm\r\n  Caption = '" +
                                            Big5Text(random, 20) +
                                            "'\r\n  Font.Charset = CHINESEBIG5_CHARSET\r\nend\r\n");
  }
  program += ";\r\nbegin\r\nend.\r\n";
  WriteFile(folder / "Big.dpr", program);
}

pid_t Start(const std::vector<std::string>& args) {
  std::vector<std::string> storage{test_support::ProgramPath("bgconv")};
  storage.insert(storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& arg : storage) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start bgconv");
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return status;
}

std::vector<std::string> Args(const fs::path& project, bool keep_original) {
  std::vector<std::string> args{"convert", "--to", "gb", "--quiet"};
  if (keep_original) args.push_back("--keep-original");
  args.push_back(project.string());
  return args;
}

TEST(CrashTest, KilledRunLeavesEveryFileWholeOrConverted) {
  test_support::TempDir dir;
  const fs::path original = dir.path() / "original";
  MakeProject(original);
  std::map<std::string, std::string> before;
  for (const auto& entry : fs::directory_iterator(original)) before[entry.path().filename()] = ReadFile(entry.path());
  ASSERT_EQ(before.size(), 2u * kUnits + 1);

  // A whole run gives the conversions and the time a run takes.
  const fs::path complete = dir.path() / "complete";
  fs::copy(original, complete);
  const auto started = Clock::now();
  ASSERT_EQ(Wait(Start(Args(complete / "Big.dpr", false))), 0);
  const auto whole_run = Clock::now() - started;
  std::map<std::string, std::string> after;
  for (const auto& [name, bytes] : before) {
    after[name] = ReadFile(complete / name);
    ASSERT_TRUE(after[name] != bytes) << name << " must be changed by the conversion";
  }

  std::mt19937 random(std::random_device{}());
  // Kills fall at random within this span; a kill that came after the run
  // had finished narrows it, since runs take longer on a busy machine or a
  // slower one than the measured run did.
  auto span = std::chrono::duration_cast<std::chrono::microseconds>(whole_run) * 1.1;
  int partial_trials = 0;
  for (int trial = 0; trial < kTrials; ++trial) {
    const bool keep_original = trial % 2 == 1;
    const fs::path work = dir.path() / ("trial" + std::to_string(trial));
    fs::copy(original, work);
    const auto delay = std::chrono::duration_cast<std::chrono::microseconds>(
        span * std::uniform_real_distribution<double>(0.0, 1.0)(random));
    const pid_t pid = Start(Args(work / "Big.dpr", keep_original));
    std::this_thread::sleep_for(delay);
    kill(pid, SIGKILL);
    Wait(pid);

    int converted = 0;
    int temporaries = 0;
    for (const auto& [name, bytes] : before) {
      const fs::path path = work / name;
      ASSERT_TRUE(fs::exists(path)) << name << " is missing after trial " << trial;
      const std::string now = ReadFile(path);
      ASSERT_TRUE(now == bytes || now == after[name]) << name << " is neither whole nor converted, trial " << trial;
      converted += now == after[name];
      if (fs::exists(work / (name + ".Big"))) {
        ASSERT_TRUE(keep_original);
        ASSERT_EQ(ReadFile(work / (name + ".Big")), bytes) << name << ".Big, trial " << trial;
      }
    }
    for (const auto& entry : fs::directory_iterator(work)) {
      const std::string name = entry.path().filename();
      if (before.count(name) || (keep_original && name.size() > 4 && before.count(name.substr(0, name.size() - 4))))
        continue;
      ASSERT_TRUE(name.front() == '.' && name.find(".bgconv-") != std::string::npos)
          << "unexpected file " << name << ", trial " << trial;
      ++temporaries;
    }
    if (converted > 0 && converted < static_cast<int>(before.size())) ++partial_trials;
    if (converted == static_cast<int>(before.size())) span = delay * 0.8;
    std::cout << "trial " << trial << (keep_original ? " (keep originals)" : "") << ": killed after "
              << std::chrono::duration_cast<std::chrono::milliseconds>(delay).count() << " ms, " << converted << " of "
              << before.size() << " files converted, " << temporaries << " temporary file(s) left\n";
    fs::remove_all(work);
  }
  std::cout << "whole run: " << std::chrono::duration_cast<std::chrono::milliseconds>(whole_run).count() << " ms; "
            << partial_trials << " of " << kTrials << " kills landed inside the run\n";
  EXPECT_GE(partial_trials, kTrials / 4) << "too few kills landed while files were being converted";
}

}  // namespace
}  // namespace bgconv
