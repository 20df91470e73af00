#include <gtest/gtest.h>

#include "wiimote/udev_hid_platform.h"
#include "wiimote/udev_library.h"

namespace {

TEST(UdevLibrary, LoadsEveryEntryPointAndCountsLoads) {
  TUdevLibrary Library;
  ASSERT_TRUE(Library.OpenUdevLibrary()) << "libudev.so.1 is installed on the build machine";
  EXPECT_TRUE(Library.HidLibraryReady());
  EXPECT_NE(Library.Functions().udev_new, nullptr);
  EXPECT_NE(Library.Functions().udev_monitor_receive_device, nullptr);

  // Loaded twice, unloaded once: still loaded; the second unload frees it.
  EXPECT_TRUE(Library.OpenUdevLibrary());
  Library.CloseUdevLibrary();
  EXPECT_TRUE(Library.HidLibraryReady());
  EXPECT_NE(Library.Functions().udev_new, nullptr);
  Library.CloseUdevLibrary();
  EXPECT_FALSE(Library.HidLibraryReady());
  EXPECT_EQ(Library.Functions().udev_new, nullptr);
  EXPECT_EQ(Library.LoadCount(), 0);
}

TEST(UdevLibrary, MissingFileLeavesNothingLoadedAndLaterLoadsStillTry) {
  TUdevLibrary Library("libudev-that-does-not-exist.so.9");
  EXPECT_FALSE(Library.OpenUdevLibrary());
  EXPECT_FALSE(Library.HidLibraryReady());
  // A failed first load must not count: the second attempt reports the truth, not a load that never was.
  EXPECT_FALSE(Library.OpenUdevLibrary());
  EXPECT_EQ(Library.LoadCount(), 0);
}

TEST(UdevLibrary, MissingEntryPointUnloadsTheWholeTable) {
  // The C library loads but has none of udev's names.
  TUdevLibrary Library("libc.so.6");
  EXPECT_FALSE(Library.OpenUdevLibrary());
  EXPECT_FALSE(Library.HidLibraryReady());
  EXPECT_EQ(Library.Functions().udev_new, nullptr);
}

TEST(UdevLibrary, FindSymbolKeepsTheAllFoundFlag) {
  void* Handle = nullptr;
  ASSERT_TRUE(TUdevLibrary::OpenModule(Handle, "libc.so.6"));
  void* const First = Handle;
  EXPECT_TRUE(TUdevLibrary::OpenModule(Handle, "libm.so.6"));  // a set handle is kept as it is
  EXPECT_EQ(Handle, First);

  bool AllFound = true;
  EXPECT_NE(TUdevLibrary::FindSymbol(Handle, "strlen", AllFound), nullptr);
  EXPECT_TRUE(AllFound);
  EXPECT_EQ(TUdevLibrary::FindSymbol(Handle, "udev_new", AllFound), nullptr);
  EXPECT_FALSE(AllFound);
  EXPECT_NE(TUdevLibrary::FindSymbol(Handle, "strlen", AllFound), nullptr);
  EXPECT_FALSE(AllFound) << "a later hit must not clear an earlier miss";

  TUdevLibrary::CloseModule(Handle);
  EXPECT_EQ(Handle, nullptr);
  bool Flag = true;
  EXPECT_EQ(TUdevLibrary::FindSymbol(nullptr, "strlen", Flag), nullptr);
  EXPECT_FALSE(Flag);
}

TEST(UdevHidPlatform, WithoutTheLibraryListsNothingAndWatchesNothing) {
  TUdevHidPlatform Platform("libudev-that-does-not-exist.so.9");
  EXPECT_FALSE(Platform.Ready());
  EXPECT_TRUE(Platform.Enumerate().empty());
  EXPECT_EQ(Platform.Fd(), -1);
  EXPECT_FALSE(Platform.TakeNotices());
}

TEST(UdevHidPlatform, RealEnumerationGivesWellFormedNodes) {
  // Build machines may have no hidraw node at all; whatever is listed must be complete.
  TUdevHidPlatform Platform;
  if (!Platform.Ready()) GTEST_SKIP() << "no udev here";
  for (const TJvHidPnPInfo& Info : Platform.Enumerate()) {
    EXPECT_EQ(Info.InterfacePath.rfind("/dev/", 0), 0u) << Info.InterfacePath;
    EXPECT_FALSE(Info.InstanceHandle.empty());
  }
}

}  // namespace
