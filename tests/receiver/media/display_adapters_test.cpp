#include "platform/display_adapters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "receiver/media/display_adapter_check.h"

namespace {

namespace fs = std::filesystem;

// A /sys tree of our own: an Intel card seen both as DRM card0 and as a PCI
// display device, an NVIDIA PCI display device without DRM, and a network card.
class FakeSys : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("vp_sys_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    AddPci("0000:00:02.0", "0x8086", "0x030000", "i915");
    AddPci("0000:01:00.0", "0x10de", "0x030200", "");
    AddPci("0000:02:00.0", "0x8086", "0x020000", "e1000e");
    fs::create_directories(root_ / "class/drm/card0");
    fs::create_directory_symlink(root_ / "bus/pci/devices/0000:00:02.0",
                                 root_ / "class/drm/card0/device");
    fs::create_directories(root_ / "class/drm/card0-HDMI-A-1");
    fs::create_directories(root_ / "class/drm/renderD128");
  }
  void TearDown() override { fs::remove_all(root_); }

  void AddPci(const std::string& slot, const std::string& vendor, const std::string& device_class,
              const std::string& driver) {
    fs::path device = root_ / "bus/pci/devices" / slot;
    fs::create_directories(device);
    std::ofstream(device / "vendor") << vendor << "\n";
    std::ofstream(device / "class") << device_class << "\n";
    if (!driver.empty()) {
      fs::create_directories(root_ / "bus/pci/drivers" / driver);
      fs::create_directory_symlink(root_ / "bus/pci/drivers" / driver, device / "driver");
    }
  }

  fs::path root_;
};

TEST_F(FakeSys, ListsEachDisplayAdapterOnceByVendorName) {
  auto adapters = platform::ListDisplayAdapters(root_.string());
  std::vector<std::string> descriptions;
  for (const auto& a : adapters) descriptions.push_back(a.description);
  std::sort(descriptions.begin(), descriptions.end());
  EXPECT_EQ(descriptions,
            (std::vector<std::string>{"Intel display adapter (i915)", "NVIDIA display adapter"}));
}

TEST(DisplayAdapters, AMissingTreeListsNothing) {
  EXPECT_TRUE(platform::ListDisplayAdapters("/nonexistent-sys-root").empty());
}

TEST(DisplayAdapterCheck, KnownVendorNamesPassCaseSensitively) {
  auto adapter = [](const char* description) {
    platform::DisplayAdapter a;
    a.description = description;
    return a;
  };
  struct Case {
    std::vector<platform::DisplayAdapter> adapters;
    bool expected;
  } cases[] = {
      {{}, true},  // nothing listed: drawn in software (containers, virtual frame buffers)
      {{adapter("Intel display adapter (i915)")}, true},
      {{adapter("AMD/ATI display adapter (amdgpu)")}, true},
      {{adapter("NVIDIA display adapter")}, true},
      {{adapter("VMware display adapter (vmwgfx)")}, true},
      {{adapter("GeForce GTX")}, true},
      {{adapter("Red Hat virtio GPU display adapter (virtio-pci)")}, false},
      {{adapter("QEMU standard VGA display adapter (bochs-drm)")}, false},
      {{adapter("intel display adapter")}, false},
      {{adapter("Vendor 0x1234 display adapter"), adapter("NVIDIA display adapter")}, true},
  };
  for (const auto& c : cases) {
    std::string what = c.adapters.empty() ? "(none)" : c.adapters.back().description;
    EXPECT_EQ(DisplayAdapterCheck(c.adapters), c.expected) << what;
  }
}

TEST(DisplayAdapters, VendorNamesOfTheIdsWeKnowAndOthers) {
  EXPECT_EQ(platform::DisplayVendorName(0x8086), "Intel");
  EXPECT_EQ(platform::DisplayVendorName(0x15ad), "VMware");
  EXPECT_EQ(platform::DisplayVendorName(0xabcd), "Vendor 0xabcd");
}

}  // namespace
