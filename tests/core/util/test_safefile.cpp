#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::TempDir;

TEST(SafeFile, ReplacesContentAndLeavesNoTemporaryFile) {
  TempDir dir;
  std::string path = dir.File("data.bin");
  WriteFileAtomic(path, "old");
  WriteFileAtomic(path, "new content");
  EXPECT_EQ(ReadWholeFile(path), "new content");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(SafeFile, AnUnfinishedWriteKeepsTheOldFile) {
  TempDir dir;
  std::string path = dir.File("data.bin");
  WriteFileAtomic(path, "precious");
  {
    AtomicFileWriter w(path);
    w.Write("half-writ");
    // destroyed without Commit, as when an error interrupts the writer
  }
  EXPECT_EQ(ReadWholeFile(path), "precious");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1);
}

TEST(SafeFile, PathHelpers) {
  EXPECT_EQ(ChangeFileExt("/a/b/Quintar_7x35", ".frm"), "/a/b/Quintar_7x35.frm");
  EXPECT_EQ(ChangeFileExt("/a.b/c.exe", ".frm"), "/a.b/c.frm");
  EXPECT_EQ(ExtractFilePath("/a/b/c.txt"), "/a/b/");
  EXPECT_EQ(ExtractFileName("/a/b/c.txt"), "c.txt");
  EXPECT_EQ(FileSizeOf("/no/such/file"), -1);
}
