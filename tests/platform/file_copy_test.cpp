#include "platform/file_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/errors.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(CopyFileNoReplace, CopiesBytesAndPermissionBits) {
  test_support::TempDir dir;
  const std::string bytes("a\0b\xB0\xEA\r\n", 7);
  const auto source = dir.Write("Unit1.pas", bytes);
  fs::permissions(source, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(CopyFileNoReplace(source, source + ".Big"), CopyResult::kCopied);
  EXPECT_EQ(dir.Read("Unit1.pas.Big"), bytes);
  EXPECT_EQ(fs::status(source + ".Big").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(EntriesIn(dir.path()), 2u) << "no temporary file is left";
}

TEST(CopyFileNoReplace, NeverReplacesAnExistingFile) {
  test_support::TempDir dir;
  const auto source = dir.Write("Unit1.pas", "new");
  const auto target = dir.Write("Unit1.pas.Big", "oldest original");
  EXPECT_EQ(CopyFileNoReplace(source, target), CopyResult::kTargetExists);
  EXPECT_EQ(dir.Read("Unit1.pas.Big"), "oldest original");

  // A dangling symbolic link also takes the name.
  fs::create_symlink(dir.File("nowhere"), dir.File("link"));
  EXPECT_EQ(CopyFileNoReplace(source, dir.File("link")), CopyResult::kTargetExists);
  EXPECT_FALSE(fs::exists(dir.File("nowhere")));
  EXPECT_EQ(EntriesIn(dir.path()), 3u);
}

TEST(CopyFileNoReplace, FailuresNameTheFileAndLeaveNoTarget) {
  test_support::TempDir dir;
  try {
    CopyFileNoReplace(dir.File("missing.pas"), dir.File("copy.pas"));
    FAIL() << "a missing source must fail";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + dir.File("missing.pas"));
  }

  const auto source = dir.Write("Unit1.pas", "x");
  try {
    CopyFileNoReplace(source, dir.File("no-such-folder/Unit1.pas"));
    FAIL() << "a missing folder must fail";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + dir.File("no-such-folder/Unit1.pas"));
    EXPECT_EQ(error.Reason(), std::strerror(ENOENT));
  }

  // A full disk stops the copy half-way: no target, no temporary file.
  const auto big = dir.Write("Big.pas", std::string(100000, 'x'));
  {
    test_support::FileSizeLimit limit(4096);
    try {
      CopyFileNoReplace(big, dir.File("Big.pas.GB"));
      FAIL() << "a write past the limit must fail";
    } catch (const EFCreateError& error) {
      EXPECT_EQ(error.Reason(), std::strerror(EFBIG));
    }
  }
  EXPECT_FALSE(fs::exists(dir.File("Big.pas.GB")));
  EXPECT_EQ(EntriesIn(dir.path()), 2u);
}

TEST(WriteFileAtomically, FailureCarriesTheSystemsReason) {
  test_support::TempDir dir;
  const auto path = dir.Write("unit.pas", "the original");
  test_support::FileSizeLimit limit(4096);
  try {
    WriteFileAtomically(path, std::string(100000, 'x'));
    FAIL() << "a write past the limit must fail";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + path) << "the message itself is unchanged";
    EXPECT_EQ(error.Reason(), std::strerror(EFBIG));
  }
}

}  // namespace
}  // namespace bgconv
