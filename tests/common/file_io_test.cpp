#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "support/temp_folder.h"

namespace {

TEST(ReadWholeFile, TellsMissingFromUnreadableAndNeverBlocks) {
  TTempFolder folder;
  const TFileContents missing = ReadWholeFile(folder.Path() / "none", 100);
  EXPECT_EQ(missing.Status, TFileReadStatus::Missing);
  EXPECT_EQ(missing.Error, std::errc::no_such_file_or_directory);
  EXPECT_EQ(ReadWholeFile(folder.Path() / "none" / "deeper", 100).Status, TFileReadStatus::Missing);
  EXPECT_EQ(ReadWholeFile(folder.Path(), 100).Status, TFileReadStatus::NotAFile);
  const std::filesystem::path fifo = folder.Path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ReadWholeFile(fifo, 100).Status, TFileReadStatus::NotAFile);
  WriteFile(folder.Path() / "bytes", std::string("a\0b\r\n", 5));
  const TFileContents contents = ReadWholeFile(folder.Path() / "bytes", 5);
  EXPECT_EQ(contents.Status, TFileReadStatus::Read);
  EXPECT_EQ(contents.Bytes, std::string("a\0b\r\n", 5));
  const TFileContents tooLong = ReadWholeFile(folder.Path() / "bytes", 4);
  EXPECT_EQ(tooLong.Status, TFileReadStatus::TooLarge);
  EXPECT_TRUE(tooLong.Bytes.empty());
}

// The file's size as fstat gives it only sizes the first read: a file that says 0 (as /proc's do) or that
// holds more than its size said is still read to its end, and the limit still holds.
TEST(ReadWholeFile, ReadsPastTheSizeTheFileGave) {
  TTempFolder folder;
  const std::string grande(100000, 'x');
  WriteFile(folder.Path() / "grande", grande);
  EXPECT_EQ(ReadWholeFile(folder.Path() / "grande").Bytes, grande);
  const TFileContents status = ReadWholeFile("/proc/self/status");
  ASSERT_EQ(status.Status, TFileReadStatus::Read);
  EXPECT_NE(status.Bytes.find("\nPid:"), std::string::npos);
  EXPECT_EQ(status.Bytes.back(), '\n');
  EXPECT_EQ(ReadWholeFile("/proc/self/status", 10).Status, TFileReadStatus::TooLarge);
}

TEST(ReplaceFileAtomically, KeepsThePermissionBitsAndLeavesNoTemporaryFile) {
  TTempFolder folder;
  const std::filesystem::path file = folder.Path() / "config.ini";
  WriteFile(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  EXPECT_FALSE(ReplaceFileAtomically(file, "new text"));
  EXPECT_EQ(ReadFile(file), "new text");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(ListFolder(folder.Path()), "config.ini ");
}

TEST(ReplaceFileAtomically, ReplacesTheTargetOfASymbolicLinkAndKeepsTheLink) {
  TTempFolder folder;
  std::filesystem::create_directory(folder.Path() / "dotfiles");
  const std::filesystem::path target = folder.Path() / "dotfiles" / "vireta.ini";
  WriteFile(target, "old");
  const std::filesystem::path link = folder.Path() / "config.ini";
  std::filesystem::create_symlink(target, link);
  EXPECT_FALSE(ReplaceFileAtomically(link, "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(ListFolder(folder.Path() / "dotfiles"), "vireta.ini ");
}

TEST(ReplaceFileAtomically, RefusesALinkThatLeadsNowhereAndKeepsIt) {
  TTempFolder folder;
  const std::filesystem::path link = folder.Path() / "config.ini";
  std::filesystem::create_symlink(folder.Path() / "dotfiles" / "vireta.ini", link);
  EXPECT_TRUE(ReplaceFileAtomically(link, "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ListFolder(folder.Path()), "config.ini ");
}

TEST(ReplaceFileAtomically, AWriteCutOffPartWayLeavesTheOldFile) {
  TTempFolder folder;
  const std::filesystem::path file = folder.Path() / "m.obj";
  WriteFile(file, "v 1 2 3\n");
  // A file size limit stops the temporary file's write part way, as a full disk would.
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit limit = before;
  limit.rlim_cur = 4;
  const auto signalBefore = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  const std::error_code error = ReplaceFileAtomically(file, "v 1 2 3\nv 4 5 6\nv 7 8 9\n");
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, signalBefore);
  EXPECT_TRUE(error);
  EXPECT_EQ(ReadFile(file), "v 1 2 3\n");
  EXPECT_EQ(ListFolder(folder.Path()), "m.obj ");
}

}  // namespace
