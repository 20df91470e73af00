#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "support/wiimote_rig.h"

namespace {

using namespace std::chrono_literals;

struct TDataRecord {
  uint8_t ReportID;
  std::vector<uint8_t> Data;
};

class HidController : public ::testing::Test {
 protected:
  // Remotes first: the platform points at them.
  TVirtualWiimote RemoteA, RemoteB;
  TControllerRig Rig;
  std::vector<TDataRecord> Reports;
  int Changes = 0;

  TJvHidDeviceController& CreateRecording() {
    TJvHidDeviceController& C = Rig.Create();
    C.SetOnDeviceChange([this] { ++Changes; });
    C.SetOnDeviceData([this](TJvHidDevice&, uint8_t Id, const uint8_t* Data, uint16_t Size) {
      Reports.push_back({Id, std::vector<uint8_t>(Data, Data + Size)});
    });
    return C;
  }
  // RemoteA plugged in before start-up, the controller started with the recording handlers, and the
  // remote claimed; null when the claim failed.
  TJvHidDevice* ClaimRemoteA() {
    Rig.Platform.Plug(RemoteA);
    CreateRecording();
    Rig.Loop.RunPending();
    return Rig.ClaimRemote();
  }
};

TEST_F(HidController, StartupChangeRaisesOnDeviceChangeOnceWithNoDevice) {
  TJvHidDeviceController& C = CreateRecording();
  EXPECT_EQ(Changes, 0) << "the first change waits for the main loop";
  Rig.Loop.RunPending();
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(C.LastChangeParam(), -1);

  Rig.Notice();  // readable without a notice: nothing
  Rig.Platform.Notify();
  Rig.Notice();  // a notice, but no node came or went
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Rig.Platform.EnumerationCount(), 2);

  Rig.Platform.Plug(RemoteA);
  Rig.Loop.RunPending();  // the loop watches the monitor
  EXPECT_EQ(Changes, 2);
}

TEST_F(HidController, WithoutTheLibraryNothingIsEverFoundNorReported) {
  Rig.Platform.SetReady(false);
  Rig.Platform.Plug(RemoteA);
  TJvHidDeviceController& C = CreateRecording();
  EXPECT_EQ(Rig.Loop.RunPending(), 0u);
  Rig.Notice();
  EXPECT_EQ(Changes, 0);
  EXPECT_TRUE(C.DeviceList().empty());
}

TEST_F(HidController, ClaimsInListOrderAndEachDeviceOnce) {
  const std::string First = Rig.Platform.Plug(RemoteA);
  const std::string Second = Rig.Platform.Plug(RemoteB);
  TJvHidDeviceController& C = CreateRecording();
  Rig.Loop.RunPending();
  ASSERT_EQ(C.DeviceList().size(), 2u);
  EXPECT_EQ(C.FreeCount(), 2);

  TJvHidDevice *D1 = nullptr, *D2 = nullptr, *D3 = nullptr;
  ASSERT_TRUE(C.ClaimByIds(D1, 0x057E, 0x0306));
  EXPECT_EQ(D1->InterfaceInfo().InstanceHandle, First);
  ASSERT_TRUE(C.ClaimByIds(D2, 0x057E, 0x0306));
  EXPECT_EQ(D2->InterfaceInfo().InstanceHandle, Second);
  EXPECT_FALSE(C.ClaimByIds(D3, 0x057E, 0x0306));
  EXPECT_EQ(D3, nullptr);
  EXPECT_EQ(C.ClaimedCount(), 2);
  EXPECT_EQ(C.FreeCount(), 0);

  C.Release(D1);
  EXPECT_EQ(D1, nullptr);
  EXPECT_EQ(C.FreeCount(), 1);
  ASSERT_TRUE(C.ClaimByIds(D3, 0x057E, 0x0306));
  EXPECT_EQ(D3->InterfaceInfo().InstanceHandle, First) << "a released device can be claimed again";
}

TEST_F(HidController, ProductMinusOneMatchesAnyProductOfTheVendor) {
  Rig.Platform.PlugOther(MakeHidId(3, 0x046D, 0xC52B), {0x75, 0x08, 0x95, 0x02, 0x81, 0x00});
  const std::string Plus = Rig.Platform.Plug(RemoteA, 0x0330);
  TJvHidDeviceController& C = CreateRecording();
  Rig.Loop.RunPending();
  TJvHidDevice* D = nullptr;
  EXPECT_FALSE(C.ClaimByIds(D, 0x057E, 0x0306));
  ASSERT_TRUE(C.ClaimByIds(D, 0x057E, -1));
  EXPECT_EQ(D->InterfaceInfo().InstanceHandle, Plus);
  EXPECT_EQ(D->HidAttributes().ProductID, 0x0330);
  EXPECT_EQ(D->HidAttributes().BusType, 5);
}

TEST_F(HidController, NodesThatCannotBeIdentifiedAreLeftOut) {
  Rig.Platform.PlugOther("not a HID_ID", {});
  Rig.Platform.PlugOther("0003:0000XYZ1:00000001", {});
  Rig.Platform.Plug(RemoteA);
  TJvHidDeviceController& C = CreateRecording();
  Rig.Loop.RunPending();
  ASSERT_EQ(C.DeviceList().size(), 1u);
  EXPECT_EQ(C.DeviceList()[0]->HidAttributes().VendorID, 0x057E);
}

// Each open of a hidraw node gets its own copy of every input report, so a device holds one descriptor,
// and only while it is claimed: reads and writes share it, and the main loop watches it.
TEST_F(HidController, AClaimedDeviceHoldsOneDescriptorForReadsAndWrites) {
  Rig.Platform.Plug(RemoteA);
  TJvHidDeviceController& C = CreateRecording();
  Rig.Loop.RunPending();
  RemoteA.Drain();  // the remote lets go of connections closed by now
  EXPECT_EQ(RemoteA.ConnectionCount(), 0u) << "listing the node opens it only for a moment";
  EXPECT_EQ(Rig.Loop.WatchCount(), 1u) << "the change monitor";

  TJvHidDevice* D = Rig.ClaimRemote();
  ASSERT_NE(D, nullptr);
  const uint8_t Leds[] = {0x11, 0x10};
  size_t Written = 0;
  ASSERT_TRUE(D->WriteReport(Leds, sizeof Leds, Written));
  ASSERT_TRUE(D->WriteReport(Leds, sizeof Leds, Written));
  RemoteA.SendRaw({0x30, 0x00, 0x00});
  ASSERT_TRUE(Rig.Loop.RunUntil([&] { return Reports.size() == 1; }));
  RemoteA.Drain();
  EXPECT_EQ(RemoteA.ReceivedCount(), 2u);
  EXPECT_EQ(RemoteA.ConnectionCount(), 1u);
  EXPECT_EQ(Rig.Loop.WatchCount(), 2u);

  C.Release(D);
  RemoteA.Drain();
  EXPECT_EQ(RemoteA.ConnectionCount(), 0u);
  EXPECT_EQ(Rig.Loop.WatchCount(), 1u);
}

TEST_F(HidController, PulledDeviceStaysUnpluggedUntilItsHolderReleasesIt) {
  const std::string Held = Rig.Platform.Plug(RemoteA);
  const std::string Free = Rig.Platform.Plug(RemoteB);
  TJvHidDeviceController& C = CreateRecording();
  int Unplugs = 0, Removals = 0, Arrivals = 0;
  C.SetOnDeviceUnplug([&](TJvHidDevice&) { ++Unplugs; });
  C.SetOnRemoval([&](TJvHidDevice& D) {
    EXPECT_TRUE(D.InPlugEvent());
    ++Removals;
  });
  C.SetOnArrival([&](TJvHidDevice& D) {
    EXPECT_TRUE(D.CanAccess()) << "a device may be written to during its arrival";
    ++Arrivals;
  });
  Rig.Loop.RunPending();
  EXPECT_EQ(Arrivals, 2);
  TJvHidDevice* D = nullptr;
  ASSERT_TRUE(C.ClaimByIds(D, 0x057E, 0x0306));

  Rig.Platform.Unplug(Held);
  Rig.Platform.Unplug(Free);
  Rig.Notice();
  EXPECT_EQ(Changes, 2);
  EXPECT_EQ(Removals, 2);
  EXPECT_EQ(Unplugs, 2);
  ASSERT_EQ(C.DeviceList().size(), 1u) << "the free one is gone, the held one waits";
  EXPECT_EQ(C.DeviceList()[0].get(), D);
  EXPECT_FALSE(D->Plugged());
  EXPECT_FALSE(D->CanAccess());
  EXPECT_EQ(C.UnpluggedCount(), 1);

  Rig.Platform.Notify();
  Rig.Notice();
  EXPECT_EQ(Removals, 2) << "an unplugged device is reported once";

  C.Release(D);
  EXPECT_TRUE(C.DeviceList().empty());
  EXPECT_EQ(C.UnpluggedCount(), 0);
}

TEST_F(HidController, ReportOfNBytesReachesTheHandlerWithSizeNMinusOneInOrder) {
  TJvHidDevice* D = ClaimRemoteA();
  ASSERT_NE(D, nullptr);

  RemoteA.SendRaw({0x31, 0x00, 0x08, 0x81, 0x82, 0x83});
  RemoteA.SendRaw({0x30, 0x10});
  RemoteA.SendRaw({0x3F});
  ASSERT_TRUE(Rig.Loop.RunUntil([&] { return Reports.size() == 3; }));
  EXPECT_EQ(Reports[0].ReportID, 0x31);
  EXPECT_EQ(Reports[0].Data, (std::vector<uint8_t>{0x00, 0x08, 0x81, 0x82, 0x83}));
  EXPECT_EQ(Reports[1].ReportID, 0x30);
  EXPECT_EQ(Reports[1].Data, (std::vector<uint8_t>{0x10}));
  EXPECT_EQ(Reports[2].ReportID, 0x3F);
  EXPECT_TRUE(Reports[2].Data.empty());
}

// A burst is read whole when the descriptor turns readable, one report at a time: a handler that turns the
// loop itself (as a modal dialog does) is not called again inside.
TEST_F(HidController, ABurstIsReadWholeOnOneTurnOfTheLoopOneReportAtATime) {
  TJvHidDevice* D = ClaimRemoteA();
  ASSERT_NE(D, nullptr);
  std::vector<uint8_t> Seen;
  int Depth = 0, Deepest = 0;
  D->SetDataHandler([&](TJvHidDevice&, uint8_t, const uint8_t* Data, uint16_t) {
    Deepest = std::max(Deepest, ++Depth);
    Seen.push_back(Data[1]);
    Rig.Loop.RunPending();
    --Depth;
  });
  for (uint8_t I = 1; I <= 5; ++I) RemoteA.SendRaw({0x30, 0x00, I});
  Rig.Loop.RunPending();
  EXPECT_EQ(Seen, (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Deepest, 1);
}

// A handler may give back the device it was called for, and so destroy it when it was pulled: nothing
// more of the burst is read, from a descriptor or a device that has gone.
TEST_F(HidController, NothingIsReadAfterAHandlerReleasesItsDevice) {
  for (bool Pulled : {false, true}) {
    TVirtualWiimote Remote;
    TControllerRig Local;
    const std::string Path = Local.Platform.Plug(Remote);
    TJvHidDeviceController& C = Local.Create();
    Local.Loop.RunPending();
    TJvHidDevice* D = Local.ClaimRemote();
    ASSERT_NE(D, nullptr);
    TJvHidDevice* const Device = D;
    int Got = 0, Errors = 0;
    C.SetOnDeviceDataError([&](TJvHidDevice&, uint32_t) { ++Errors; });
    D->SetDataHandler([&](TJvHidDevice&, uint8_t, const uint8_t*, uint16_t) {
      ++Got;
      if (Pulled) {
        Local.Platform.Unplug(Path, false);
        C.DeviceChange();  // keeps the claimed device, unplugged
      }
      C.Release(D);
    });
    Remote.SendRaw({0x30, 0x00, 0x01});
    Remote.SendRaw({0x30, 0x00, 0x02});
    Local.Loop.RunPending();
    EXPECT_EQ(Got, 1) << (Pulled ? "pulled" : "plugged");
    EXPECT_EQ(D, nullptr);
    EXPECT_EQ(C.DeviceList().empty(), Pulled);
    if (!Pulled) {
      EXPECT_FALSE(Device->Claimed());
    }
    Remote.SendRaw({0x30, 0x00, 0x03});
    Local.Loop.RunPending();
    EXPECT_EQ(Got, 1) << "a released device is not read";
    EXPECT_EQ(Errors, 0) << "nor is its closed descriptor";
  }
}

// A hung-up descriptor stays readable for good: reading it ends at the first error, which the error handler
// hears once, and the loop stops watching it.
TEST_F(HidController, ReadingEndsOnceWhenItsDeviceVanishes) {
  const std::string Path = Rig.Platform.Plug(RemoteA);
  TJvHidDeviceController& C = CreateRecording();
  std::vector<uint32_t> Errors;
  C.SetOnDeviceDataError([&](TJvHidDevice&, uint32_t Error) { Errors.push_back(Error); });
  Rig.Loop.RunPending();
  TJvHidDevice* D = Rig.ClaimRemote();
  ASSERT_NE(D, nullptr);

  RemoteA.SendRaw({0x30, 0x00, 0x04});
  RemoteA.SwitchOff();
  ASSERT_TRUE(Rig.Loop.RunUntil([&] { return !Errors.empty(); }));
  ASSERT_EQ(Reports.size(), 1u) << "the report sent before the hang-up still arrives";
  EXPECT_EQ(Errors, std::vector<uint32_t>{ENODEV});
  EXPECT_EQ(Rig.Loop.RunPending(), 0u) << "nothing is left ready: no loop that spins";
  EXPECT_EQ(Rig.Loop.WatchCount(), 1u);
  Rig.Platform.Notify();
  Rig.Notice();  // the node is still there: the device is not read again before its release
  EXPECT_EQ(Rig.Loop.WatchCount(), 1u);
  EXPECT_EQ(Errors.size(), 1u);

  Rig.Platform.Unplug(Path);
  Rig.Notice();
  EXPECT_FALSE(D->Plugged());
  C.Release(D);
  EXPECT_TRUE(C.DeviceList().empty());
}

TEST_F(HidController, ChangeNoticeDuringAReconciliationStartsNoOther) {
  TJvHidDeviceController& C = Rig.Create();
  int Nested = 0;
  C.SetOnDeviceChange([&] {
    EXPECT_TRUE(C.Reconciling());
    ++Nested;
    Rig.Platform.Notify();
    Rig.Notice();
  });
  Rig.Loop.RunPending();
  EXPECT_EQ(Nested, 1);
  EXPECT_EQ(Rig.Platform.EnumerationCount(), 1);
  EXPECT_FALSE(C.Reconciling());
}

TEST_F(HidController, SettingTheDataHandlerStopsAndStartsReading) {
  TJvHidDevice* D = ClaimRemoteA();
  ASSERT_NE(D, nullptr);
  TJvHidDeviceController& C = *Rig.HIDCtl;
  EXPECT_EQ(Rig.Loop.WatchCount(), 2u) << "the monitor and the device";
  C.SetOnDeviceData(nullptr);
  EXPECT_EQ(Rig.Loop.WatchCount(), 1u);
  int Own = 0;
  D->SetDataHandler([&](TJvHidDevice&, uint8_t, const uint8_t*, uint16_t) { ++Own; });
  ASSERT_EQ(Rig.Loop.WatchCount(), 2u);
  C.SetOnDeviceData([](TJvHidDevice&, uint8_t, const uint8_t*, uint16_t) {});  // does not replace its own
  RemoteA.SendRaw({0x30, 0, 0});
  ASSERT_TRUE(Rig.Loop.RunUntil([&] { return Own == 1; }));
}

TEST_F(HidController, WritesExactlyTheBytesGivenAndReportsCaps) {
  TJvHidDevice* D = ClaimRemoteA();
  ASSERT_NE(D, nullptr);
  EXPECT_EQ(D->QueryCaps().InputReportByteLength, 22);
  EXPECT_EQ(D->QueryCaps().OutputReportByteLength, 22);
  EXPECT_EQ(D->OutputReportLength(0x11), 2);

  const uint8_t Leds[] = {0x11, 0x10};
  size_t Written = 0;
  ASSERT_TRUE(D->WriteReport(Leds, sizeof Leds, Written));
  EXPECT_EQ(Written, 2u);
  ASSERT_TRUE(RemoteA.WaitForReceived(1));
  EXPECT_EQ(RemoteA.Received()[0].Bytes, (std::vector<uint8_t>{0x11, 0x10}));
  EXPECT_FALSE(RemoteA.Received()[0].Rejected);
  EXPECT_EQ(RemoteA.LedByte(), 0x10);
}

TEST_F(HidController, DeviceWithoutReadWriteAccessIsListedButNeitherReadNorWritten) {
  const std::string Path = Rig.Platform.Plug(RemoteA);
  Rig.Platform.DenyReadWrite(Path, EACCES);
  CreateRecording();
  Rig.Loop.RunPending();
  TJvHidDevice* D = Rig.ClaimRemote();
  ASSERT_NE(D, nullptr);
  EXPECT_FALSE(D->ReadWriteOpen());
  EXPECT_EQ(Rig.Loop.WatchCount(), 1u) << "only the monitor is watched";
  const uint8_t Leds[] = {0x11, 0x10};
  size_t Written = 0;
  EXPECT_FALSE(D->WriteReport(Leds, sizeof Leds, Written));
  EXPECT_EQ(D->LastError(), EACCES);
}

TEST_F(HidController, AHandlerThatThrowsStillLetsTheNextReportThrough) {
  TJvHidDevice* D = ClaimRemoteA();
  ASSERT_NE(D, nullptr);
  int Calls = 0;
  D->SetDataHandler([&](TJvHidDevice&, uint8_t, const uint8_t*, uint16_t) {
    if (++Calls == 1) throw std::runtime_error("handler failed");
  });
  RemoteA.SendRaw({0x30, 0x00, 0x01});
  EXPECT_THROW(Rig.Loop.RunPending(), std::runtime_error);
  RemoteA.SendRaw({0x30, 0x00, 0x02});
  EXPECT_TRUE(Rig.Loop.RunUntil([&] { return Calls == 2; }, 3s)) << "the descriptor is still watched";
}

// The node was claimed before the user could open it (udev had not applied its rule yet): once the rights
// are there, a write that goes through or the next device change starts reading it.
TEST_F(HidController, ARemoteThatBecomesReadableLaterIsRead) {
  for (bool ByWrite : {true, false}) {
    TVirtualWiimote Remote;
    TControllerRig Local;
    const std::string Path = Local.Platform.Plug(Remote);
    Local.Platform.DenyReadWrite(Path, EACCES);
    TJvHidDeviceController& C = Local.Create();
    int Got = 0;
    C.SetOnDeviceData([&](TJvHidDevice&, uint8_t, const uint8_t*, uint16_t) { ++Got; });
    Local.Loop.RunPending();
    TJvHidDevice* D = Local.ClaimRemote();
    ASSERT_NE(D, nullptr);
    ASSERT_EQ(Local.Loop.WatchCount(), 1u);

    Local.Platform.DenyReadWrite(Path, 0);
    if (ByWrite) {
      const uint8_t Status[] = {0x15, 0x00};
      size_t Written = 0;
      ASSERT_TRUE(D->WriteReport(Status, sizeof Status, Written));
    } else {
      Local.Platform.Notify();
      Local.Notice();
    }
    ASSERT_EQ(Local.Loop.WatchCount(), 2u) << (ByWrite ? "after a write" : "after a device change");
    Remote.SendRaw({0x30, 0x00, 0x00});
    EXPECT_TRUE(Local.Loop.RunUntil([&] { return Got > 0; }, 3s));
    C.Release(D);
  }
}

TEST(HidId, ParsesTheKernelFormatAndRefusesOthers) {
  THidAttributes A;
  ASSERT_TRUE(ParseHidId("0005:0000057E:00000330", A));
  EXPECT_EQ(A.BusType, 5);
  EXPECT_EQ(A.VendorID, 0x057E);
  EXPECT_EQ(A.ProductID, 0x0330);
  for (const char* Bad : {"", "0005:057E", "0005:0000057E:", "x:1:2", "0005:0001057E:00000330", "5:1:2:3"})
    EXPECT_FALSE(ParseHidId(Bad, A)) << Bad;
}

}  // namespace
