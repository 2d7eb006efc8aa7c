#include "platform/purge.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "platform/errors.h"
#include "support/run_as_nobody.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr fs::perms kReadOnlyFolder =
    kReadOnly | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;

// A work folder as the program makes it, inside the test's folder.
std::string MakeWorkFolder(const test_support::TempDir& dir, const std::string& name = "Conver") {
  const std::string folder = dir.File(name);
  EXPECT_TRUE(CreateWorkFolder(folder + "/"));
  return folder;
}

std::string PurgeError(const std::string& folder) {
  try {
    PurgeDirectory(folder);
  } catch (const EInOutError& error) {
    return error.what();
  }
  return "(no error)";
}

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(Purge, RemovesReadOnlyFilesAndNestedFolders) {
  test_support::TempDir dir;
  const auto work = MakeWorkFolder(dir);
  EXPECT_TRUE(fs::is_regular_file(work + "/" + std::string(kWorkFolderMarker)));
  for (const char* file : {"Unit1.pas", "sub/Unit2.pas", "sub/deeper/Form1.dfm", "sub/closed/Unit3.pas"}) {
    dir.Write(std::string("Conver/") + file, "x");
    fs::permissions(dir.File(std::string("Conver/") + file), kReadOnly);
  }
  fs::create_directory(dir.File("Conver/empty"));
  fs::permissions(dir.File("Conver/sub/deeper"), kReadOnlyFolder);
  fs::permissions(dir.File("Conver/sub/closed"), fs::perms::none);

  PurgeDirectory(work + "/");
  EXPECT_FALSE(fs::exists(work));
  EXPECT_TRUE(fs::exists(dir.path())) << "the parent stays";
}

TEST(Purge, NeverFollowsSymbolicLinksOutOfTheTree) {
  test_support::TempDir dir;
  const auto work = MakeWorkFolder(dir);
  dir.Write("outside/keep.txt", "keep");
  dir.Write("outside/folder/inner.txt", "inner");
  fs::create_directory(work + "/sub");
  fs::create_symlink(dir.File("outside/keep.txt"), work + "/file-link");
  fs::create_directory_symlink(dir.File("outside/folder"), work + "/folder-link");
  fs::create_directory_symlink(dir.File("outside"), work + "/sub/up-link");
  fs::create_symlink(dir.File("nowhere"), work + "/dangling");

  PurgeDirectory(work + "/sub/../.");
  EXPECT_FALSE(fs::exists(work));
  EXPECT_EQ(dir.Read("outside/keep.txt"), "keep");
  EXPECT_EQ(dir.Read("outside/folder/inner.txt"), "inner");
}

TEST(Purge, RefusesFoldersItDidNotMake) {
  test_support::TempDir dir;
  dir.Write("project/Unit1.pas", "source");
  const auto marked = MakeWorkFolder(dir, "marked");
  dir.Write("marked/Unit1.pas", "x");
  fs::create_directory_symlink(marked, dir.File("link"));
  const std::string home = MakeWorkFolder(dir, "home");
  dir.Write("home/notes.txt", "mine");

  EXPECT_EQ(PurgeError(dir.File("project")), "Refusing to delete " + dir.File("project") +
                                                 ": it is not a work folder created by bgconv (it holds no " +
                                                 std::string(kWorkFolderMarker) + ")");
  EXPECT_EQ(PurgeError(dir.File("link") + "/"), "Refusing to delete " + dir.File("link") + ": it is a symbolic link");
  {
    ScopedEnv env("HOME", home);
    EXPECT_EQ(PurgeError(home), "Refusing to delete " + home + ": it is the home folder");
  }
  EXPECT_EQ(PurgeError("/"), "Refusing to delete /: it is the root of a file system");
  struct stat root {
  }, proc{};
  if (::stat("/", &root) == 0 && ::stat("/proc", &proc) == 0 && root.st_dev != proc.st_dev) {
    EXPECT_EQ(PurgeError("/proc"), "Refusing to delete /proc: it is the root of a file system");
  }
  EXPECT_EQ(PurgeError(dir.File("gone")),
            "Cannot delete the folder " + dir.File("gone") + ": No such file or directory");
  EXPECT_EQ(PurgeError(dir.File("project/Unit1.pas")),
            "Cannot delete the folder " + dir.File("project/Unit1.pas") + ": Not a directory");

  EXPECT_EQ(dir.Read("project/Unit1.pas"), "source");
  EXPECT_EQ(dir.Read("marked/Unit1.pas"), "x");
  EXPECT_EQ(dir.Read("home/notes.txt"), "mine");
}

TEST(Purge, OnlyAFolderItCreatesGetsTheMarker) {
  test_support::TempDir dir;
  dir.Write("existing/Unit1.pas", "source");
  EXPECT_TRUE(CreateWorkFolder(dir.File("existing")));
  EXPECT_FALSE(fs::exists(dir.File("existing/" + std::string(kWorkFolderMarker))));
  EXPECT_FALSE(CreateWorkFolder(dir.File("missing/parent/Conver/"))) << "one level only";
  EXPECT_FALSE(CreateWorkFolder(dir.File("existing/Unit1.pas")));
}

TEST(Purge, StopsAtAFileItCannotDelete) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the purge as another user";
  test_support::TempDir dir;
  fs::permissions(dir.path(), kReadOnlyFolder);  // nobody may pass through
  const auto work = MakeWorkFolder(dir);
  dir.Write("Conver/a.pas", "a");
  dir.Write("Conver/m/locked.pas", "locked");  // m and its file stay root's
  dir.Write("Conver/z.pas", "z");
  for (const auto& entry : fs::recursive_directory_iterator(work)) {
    if (entry.path().filename() != "m" && entry.path().parent_path().filename() != "m") {
      ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
    }
  }
  ASSERT_EQ(::chown(work.c_str(), 65534, 65534), 0);

  const auto said = test_support::RunAsNobody([&] { return PurgeError(work); });
  if (!said) GTEST_SKIP() << "cannot switch to the user nobody here";
  EXPECT_EQ(*said, "Cannot delete " + work + "/m/locked.pas: Permission denied");
  EXPECT_FALSE(fs::exists(work + "/a.pas")) << "files before it are gone";
  EXPECT_EQ(dir.Read("Conver/m/locked.pas"), "locked");
  EXPECT_EQ(dir.Read("Conver/z.pas"), "z") << "files after it remain";
  EXPECT_TRUE(fs::exists(work + "/" + std::string(kWorkFolderMarker))) << "the marker goes last";

  PurgeDirectory(work);  // the next purge finishes the job
  EXPECT_FALSE(fs::exists(work));
}

}  // namespace
}  // namespace bgconv
