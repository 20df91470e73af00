#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "input/text_file.h"
#include "support/temp_folder.h"

namespace {

TEST(ReadWholeFile, TellsMissingFromUnreadableAndNeverBlocks) {
  TTempFolder folder;
  EXPECT_EQ(ReadWholeFile(folder.Path() / "none", 100).Status, TFileReadStatus::Missing);
  EXPECT_EQ(ReadWholeFile(folder.Path() / "none" / "deeper", 100).Status, TFileReadStatus::Missing);
  EXPECT_EQ(ReadWholeFile(folder.Path(), 100).Status, TFileReadStatus::Unreadable);
  const std::filesystem::path fifo = folder.Path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ReadWholeFile(fifo, 100).Status, TFileReadStatus::Unreadable);
  WriteFile(folder.Path() / "bytes", std::string("a\0b\r\n", 5));
  const TFileContents contents = ReadWholeFile(folder.Path() / "bytes", 5);
  EXPECT_EQ(contents.Status, TFileReadStatus::Read);
  EXPECT_EQ(contents.Bytes, std::string("a\0b\r\n", 5));
  const TFileContents tooLong = ReadWholeFile(folder.Path() / "bytes", 4);
  EXPECT_EQ(tooLong.Status, TFileReadStatus::TooLarge);
  EXPECT_TRUE(tooLong.Bytes.empty());
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

}  // namespace
