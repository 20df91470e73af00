#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "support/child_process.h"
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

// A save killed part way leaves its hidden temporary file; the next save of that file, or a clean-up at
// start, removes it, but never another program's file nor a save still being written.
TEST(ReplaceFileAtomically, RemovesWhatKilledSavesLeftButNotASaveUnderWay) {
  TTempFolder folder;
  const std::filesystem::path scene = folder.Write("aula.xml", "old");
  const std::string full(4096, 'x');
  folder.Write(".aula.xml.0123456789abcdef.tmp", full);
  folder.Write(".outra.xml.fedcba9876543210.tmp", full);
  folder.Write(".aula.xml.notours.tmp", full);
  folder.Write("notas.tmp", full);
  const std::filesystem::path writing = folder.Write(".aula.xml.00000000000000aa.tmp", "");
  const int held = ::open(writing.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  EXPECT_FALSE(ReplaceFileAtomically(scene, "new"));
  EXPECT_EQ(ReadFile(scene), "new");
  EXPECT_EQ(folder.List(),
            ".aula.xml.00000000000000aa.tmp .aula.xml.notours.tmp .outra.xml.fedcba9876543210.tmp aula.xml "
            "notas.tmp ");
  EXPECT_EQ(RemoveLeftoverTemporaryFiles(folder.Path()), 1u);
  EXPECT_EQ(folder.List(), ".aula.xml.00000000000000aa.tmp .aula.xml.notours.tmp aula.xml notas.tmp ");
  ::close(held);
  EXPECT_EQ(RemoveLeftoverTemporaryFiles(folder.Path()), 1u);
  EXPECT_EQ(folder.List(), ".aula.xml.notours.tmp aula.xml notas.tmp ");
}

// Root may write any file, but a file with no write bit is the user's "read-only" and is refused; for an
// unprivileged user a writable file in a read-only folder fails on the folder, and says so.
TEST(ReplaceFileAtomically, RefusesAReadOnlyFileEvenToRootAndNamesAFolderThatTakesNoFile) {
  TTempFolder folder;
  const std::filesystem::path file = folder.Write("config.ini", "old");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  std::filesystem::path place;
  EXPECT_EQ(ReplaceFileAtomically(file, "new", &place), std::errc::permission_denied);
  EXPECT_EQ(place, file);
  EXPECT_EQ(ReadFile(file), "old");

  ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0555), 0);
  const int outcome = RunInChild([&] {
    if (!GiveUpRoot()) return 77;
    std::filesystem::path where;
    const std::error_code error = ReplaceFileAtomically(file, "new", &where);
    return error == std::errc::permission_denied && where == folder.Path() ? 0 : 1;
  });
  ASSERT_NE(outcome, 77) << "cannot become \"nobody\"";
  EXPECT_EQ(outcome, 0);
  EXPECT_EQ(ReadFile(file), "old");
}

}  // namespace
