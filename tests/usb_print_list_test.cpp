#include "ports/usb_print_list.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "support/fake_port_discovery.h"

namespace pirell {
namespace {

using testing::FakePortDiscovery;

class UsbPrintListTest : public ::testing::Test {
 protected:
  UsbPrintListTest() {
    machine.usb_printers = {
        {R"(\\?\usb#vid_0a5f&pid_000a#41a081100542#{28d78fad-5a12-11d1-ae5b-0000f803a8c2})",
         "Port_#0001.Hub_#0004", "Zebra LP2844", true},
        {R"(\\?\usb#vid_1203&pid_0230#5&2c5f3a7&0&2#{28d78fad-5a12-11d1-ae5b-0000f803a8c2})", "",
         "TSC TTP-244 Plus", false},
    };
  }

  FakePortDiscovery machine;
  TUSBPrintList list{machine};
};

TEST_F(UsbPrintListTest, ListsThePrintersInTheSystemsOrder) {
  EXPECT_EQ(list.GetCount(), 0);
  ASSERT_TRUE(list.Refresh());
  ASSERT_EQ(list.GetCount(), 2);
  const TUSBPrintInfoRec first = list.Get(0);
  EXPECT_EQ(first.interfacename, machine.usb_printers[0].interface_path);
  EXPECT_EQ(first.devicename, "Port_#0001.Hub_#0004");
  EXPECT_EQ(first.description, "Zebra LP2844");
  EXPECT_TRUE(first.isenabled);
  // An unplugged printer without location is listed all the same.
  EXPECT_EQ(list.Get(1).devicename, "");
  EXPECT_FALSE(list.Get(1).isenabled);
}

TEST_F(UsbPrintListTest, RefreshStartsFromAnEmptyList) {
  ASSERT_TRUE(list.Refresh());
  machine.usb_printers.pop_back();
  ASSERT_TRUE(list.Refresh());
  EXPECT_EQ(list.GetCount(), 1);
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(UsbPrintListTest, NoPrinterIsAnEmptyCompleteList) {
  machine.usb_printers.clear();
  EXPECT_TRUE(list.Refresh());
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(UsbPrintListTest, IncompleteListingKeepsWhatWasFound) {
  machine.usb_complete = false;
  EXPECT_FALSE(list.Refresh());
  EXPECT_EQ(list.GetCount(), 2);
}

TEST_F(UsbPrintListTest, FailingSystemGivesAnEmptyIncompleteList) {
  ASSERT_TRUE(list.Refresh());
  machine.usb_failure = true;
  EXPECT_FALSE(list.Refresh());
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(UsbPrintListTest, StoredRecordCanBeChangedInPlace) {
  ASSERT_TRUE(list.Refresh());
  list.GetObject(1).isenabled = true;
  EXPECT_TRUE(list.Get(1).isenabled);
  // A copy is only a copy.
  TUSBPrintInfoRec copy = list.Get(0);
  copy.description = "changed";
  EXPECT_EQ(list.Get(0).description, "Zebra LP2844");
}

TEST_F(UsbPrintListTest, IndexOutsideTheListIsAnError) {
  ASSERT_TRUE(list.Refresh());
  for (int index : {-1, 2, 100}) {
    try {
      list.Get(index);
      ADD_FAILURE() << "no error for index " << index;
    } catch (const Error& error) {
      EXPECT_STREQ(error.what(), "Ошибка: \r\nНеверный индекс устройства");
    }
    EXPECT_THROW(list.GetObject(index), Error);
  }
}

}  // namespace
}  // namespace pirell
