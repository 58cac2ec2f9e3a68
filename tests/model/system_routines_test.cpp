#include "model/system_routines.h"

#include <gmock/gmock.h>

#include "model_fixture.h"

namespace vpk {
namespace {

using test::ModelTest;

class SystemRoutinesTest : public ModelTest {};

TEST_F(SystemRoutinesTest, RunAtStartupGoesThroughTheRegistryStore) {
    RegistryStore store(install_.ProgramHost() + "/registry-test.ini");
    store.SetAutostartFolder(install_.Root() + "/autostart");
    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    SetRunAtStartup("VPK_RUN", "C:\\VPK\\Vpk_Run.exe", false, store);
    SetRunAtStartup("VPK_ONCE", "C:\\VPK\\x.exe", true, store);
    EXPECT_EQ(store.ReadString(Hive::LocalMachine, run, "VPK_RUN"), "C:\\VPK\\Vpk_Run.exe");
    EXPECT_EQ(store.ReadString(Hive::LocalMachine, run + "Once", "VPK_ONCE"), "C:\\VPK\\x.exe");
    EXPECT_FALSE(store.ValueExists(Hive::LocalMachine, run, "VPK_ONCE"));
    const std::string mirror = install_.Root() + "/autostart/VPK_RUN.desktop";
    EXPECT_TRUE(test::HostExists(mirror));  // the desktop starts it at log-on too
    RemoveRunAtStartup("VPK_RUN", store);
    EXPECT_FALSE(store.ValueExists(Hive::LocalMachine, run, "VPK_RUN"));
    EXPECT_FALSE(test::HostExists(mirror));
    RemoveRunAtStartup("never-there", store);  // reports nothing
}

TEST(SystemTextsTest, MemoryStatusKeepsLargeFigures) {
    MemoryFigures f;
    f.loadPercent = 42;
    f.availPhys = 6ull << 30;  // beyond 32 bits
    f.totalPhys = 16ull << 30;
    f.availVirtual = 1000;
    f.totalVirtual = 2000;
    f.minAppAddress = 65536;
    f.maxAppAddress = 140737488289791ull;
    EXPECT_EQ(MemoryStatusText(f),
              "Ram used = 42% 6442450944 / 17179869184. Virtual = 1000 / 2000. "
              "Adresses min/max = 65536 / 140737488289791.");
}

TEST(SystemTextsTest, SystemInfoLines) {
    SystemFigures f;
    f.processors = 4;
    f.processorType = 586;
    f.processorRevision = 0x0A03;  // model 10, stepping 3
    f.totalPhys = 8589934592ull;
    f.osMajor = 6;
    f.osMinor = 1;
    f.osBuild = 0x12345;
    EXPECT_EQ(SystemInfoText(f),
              "4 CPU(s) 586,  A step 03.\r\nTOTAL RAM  = 8589934592 bytes\r\nVersion de OS : 6.1.9029");
    f.processorRevision = 0x1F;
    f.servicePack = " SP1";
    EXPECT_EQ(SystemInfoText(f),
              "4 CPU(s) 586,    step 1F.\r\nTOTAL RAM  = 8589934592 bytes\r\nVersion de OS : 6.1.9029 SP1");
}

TEST(SystemTextsTest, FromThisMachine) {
    EXPECT_THAT(MemoryStatusText(), ::testing::StartsWith("Ram used = "));
    EXPECT_THAT(SystemInfoText(), ::testing::HasSubstr("\r\nTOTAL RAM  = "));
}

}  // namespace
}  // namespace vpk
