#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <tuple>

#include "platform/errors.h"
#include "platform/file_copy.h"
#include "support/file_size_limit.h"
#include "support/run_as_nobody.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(AtomicFile, ReplacesContentAndKeepsPermissionBits) {
  test_support::TempDir dir;
  const auto path = dir.Write("unit.pas", "old content");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  WriteFileAtomically(path, "new");
  EXPECT_EQ(dir.Read("unit.pas"), "new");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(EntriesIn(dir.path()), 1u) << "no temporary file is left";
}

TEST(AtomicFile, InterruptedWriteLeavesTheOldContent) {
  test_support::TempDir dir;
  const auto path = dir.Write("unit.pas", "the original");
  {
    test_support::FileSizeLimit limit(4096);
    EXPECT_THROW(WriteFileAtomically(path, std::string(100000, 'x')), EFCreateError);
  }
  EXPECT_EQ(dir.Read("unit.pas"), "the original");
  EXPECT_EQ(EntriesIn(dir.path()), 1u) << "the temporary file is removed";
}

TEST(AtomicFile, FollowsSymbolicLinks) {
  test_support::TempDir dir;
  const auto real = dir.Write("real.pas", "old");
  const auto link = dir.File("link.pas");
  fs::create_symlink(real, link);
  WriteFileAtomically(link, "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(dir.Read("real.pas"), "new");
}

TEST(AtomicFile, CreatesNewFilesAndRefusesFolders) {
  test_support::TempDir dir;
  WriteFileAtomically(dir.File("fresh.txt"), "abc");
  EXPECT_EQ(dir.Read("fresh.txt"), "abc");
  fs::create_directory(dir.File("folder"));
  EXPECT_THROW(WriteFileAtomically(dir.File("folder"), "x"), EFCreateError);
  EXPECT_THROW(ReadWholeFile(dir.File("folder")), EFOpenError);
}

TEST(AtomicFile, ReadsEveryByte) {
  test_support::TempDir dir;
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
  const auto path = dir.Write("all.bin", bytes);
  EXPECT_EQ(ReadWholeFile(path), bytes);
}

TEST(AtomicFile, AFileTheUserMayNotWriteIsNotReplaced) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  test_support::TempDir dir;
  const auto path = dir.Write("unit.pas", "read-only");
  ASSERT_EQ(::chown(dir.path().c_str(), test_support::kNobody, test_support::kNobody), 0);  // the folder would allow it
  ASSERT_EQ(::chown(path.c_str(), test_support::kNobody, test_support::kNobody), 0);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const auto said = test_support::RunAsNobody([&]() -> std::string {
    try {
      WriteFileAtomically(path, "new");
      return "replaced";
    } catch (const EFCreateError& error) {
      return std::string(error.what()) + " (" + error.Reason() + ")";
    }
  });
  if (!said) GTEST_SKIP() << "cannot switch to the user nobody here";
  EXPECT_EQ(*said, "Cannot create file " + path + " (Permission denied)");
  EXPECT_EQ(dir.Read("unit.pas"), "read-only");
}

// A POSIX access ACL as the kernel stores it: version 2, then (tag,
// permissions, id) entries in tag order.
std::string AccessAcl(std::initializer_list<std::tuple<std::uint16_t, std::uint16_t, std::uint32_t>> entries) {
  std::string blob;
  const auto put = [&blob](auto value) { blob.append(reinterpret_cast<const char*>(&value), sizeof value); };
  put(std::uint32_t{2});
  for (const auto& [tag, perm, id] : entries) {
    put(tag);
    put(perm);
    put(id);
  }
  return blob;
}

std::string Attribute(const std::string& path, const char* name) {
  std::string value(256, '\0');
  const ssize_t got = ::getxattr(path.c_str(), name, value.data(), value.size());
  value.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
  return value;
}

TEST(AtomicFile, KeepsExtendedAttributesAndTheAcl) {
  test_support::TempDir dir;
  const auto path = dir.Write("unit.pas", "old");
  constexpr std::uint32_t kNoId = 0xFFFFFFFF;
  // The owning group may only read; the user nobody may read and write, so
  // the mask (shown as the group bits of the mode) is rw.
  const std::string acl =
      AccessAcl({{0x01, 6, kNoId}, {0x02, 6, 65534}, {0x04, 4, kNoId}, {0x10, 6, kNoId}, {0x20, 0, kNoId}});
  if (::setxattr(path.c_str(), "user.origin", "taipei", 6, 0) != 0 ||
      ::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
    GTEST_SKIP() << "this file system keeps no extended attributes or ACLs";
  const auto mode_before = fs::status(path).permissions();
  WriteFileAtomically(path, "new");
  EXPECT_EQ(dir.Read("unit.pas"), "new");
  EXPECT_EQ(Attribute(path, "user.origin"), "taipei");
  EXPECT_EQ(Attribute(path, "system.posix_acl_access"), acl) << "the owning group must not gain the mask's write";
  EXPECT_EQ(fs::status(path).permissions(), mode_before);
}

TEST(AtomicFile, TheLongestNamesWork) {
  test_support::TempDir dir;
  const std::string name(255, 'x');  // 127 Big5 characters and one letter take as many bytes
  const auto path = dir.Write(name, "old");
  WriteFileAtomically(path, "new");
  EXPECT_EQ(dir.Read(name), "new");
  EXPECT_EQ(CopyFileNoReplace(path, dir.File(std::string(254, 'y') + "z")), CopyResult::kCopied);
  EXPECT_EQ(EntriesIn(dir.path()), 2u);
}

}  // namespace
}  // namespace bgconv
