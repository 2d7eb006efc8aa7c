#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

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

TEST(AtomicFile, ReplacesContentAndKeepsPermissionBits) {
  testing::TempDir dir;
  const auto path = dir.Write("unit.pas", "old content");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  WriteFileAtomically(path, "new");
  EXPECT_EQ(dir.Read("unit.pas"), "new");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(EntriesIn(dir.path()), 1u) << "no temporary file is left";
}

TEST(AtomicFile, InterruptedWriteLeavesTheOldContent) {
  testing::TempDir dir;
  const auto path = dir.Write("unit.pas", "the original");
  {
    testing::FileSizeLimit limit(4096);
    EXPECT_THROW(WriteFileAtomically(path, std::string(100000, 'x')), EFCreateError);
  }
  EXPECT_EQ(dir.Read("unit.pas"), "the original");
  EXPECT_EQ(EntriesIn(dir.path()), 1u) << "the temporary file is removed";
}

TEST(AtomicFile, FollowsSymbolicLinks) {
  testing::TempDir dir;
  const auto real = dir.Write("real.pas", "old");
  const auto link = dir.File("link.pas");
  fs::create_symlink(real, link);
  WriteFileAtomically(link, "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(dir.Read("real.pas"), "new");
}

TEST(AtomicFile, CreatesNewFilesAndRefusesFolders) {
  testing::TempDir dir;
  WriteFileAtomically(dir.File("fresh.txt"), "abc");
  EXPECT_EQ(dir.Read("fresh.txt"), "abc");
  fs::create_directory(dir.File("folder"));
  EXPECT_THROW(WriteFileAtomically(dir.File("folder"), "x"), EFCreateError);
  EXPECT_THROW(ReadWholeFile(dir.File("folder")), EFOpenError);
}

TEST(AtomicFile, ReadsEveryByte) {
  testing::TempDir dir;
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
  const auto path = dir.Write("all.bin", bytes);
  EXPECT_EQ(ReadWholeFile(path), bytes);
}

}  // namespace
}  // namespace bgconv
