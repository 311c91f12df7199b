#include <gtest/gtest.h>

#include "LandscapeFormat.h"
#include "TestSupport.h"

using LogonManager::Proxy::Landscape_Format_Enabled;

namespace {

void Put_Switch(HKEY root, DWORD type, const void* data, DWORD size)
{
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueA(root, "Software\\QOR\\QORLogon\\Options", "LandscapeFormatEnabled", type, data, size));
}

void Put_Switch(HKEY root, DWORD number) { Put_Switch(root, REG_DWORD, &number, sizeof(number)); }

class LandscapeFormatTest : public ::testing::Test
{
protected:
    TestSupport::RegistrySandbox sandbox;
};

} // namespace

TEST_F(LandscapeFormatTest, EnabledWhenNothingIsSet)
{
    EXPECT_TRUE(Landscape_Format_Enabled());
}

TEST_F(LandscapeFormatTest, UserCanSwitchItOff)
{
    Put_Switch(HKEY_CURRENT_USER, 0);
    EXPECT_FALSE(Landscape_Format_Enabled());
}

TEST_F(LandscapeFormatTest, MachineCanSwitchItOff)
{
    Put_Switch(HKEY_LOCAL_MACHINE, 0);
    EXPECT_FALSE(Landscape_Format_Enabled());
}

TEST_F(LandscapeFormatTest, UserSettingBeatsTheMachine)
{
    Put_Switch(HKEY_LOCAL_MACHINE, 0);
    Put_Switch(HKEY_CURRENT_USER, 1);
    EXPECT_TRUE(Landscape_Format_Enabled());

    Put_Switch(HKEY_LOCAL_MACHINE, 1);
    Put_Switch(HKEY_CURRENT_USER, 0);
    EXPECT_FALSE(Landscape_Format_Enabled());
}

TEST_F(LandscapeFormatTest, AnyNonZeroNumberMeansOn)
{
    Put_Switch(HKEY_LOCAL_MACHINE, 0);
    Put_Switch(HKEY_CURRENT_USER, 2);
    EXPECT_TRUE(Landscape_Format_Enabled());
}

TEST_F(LandscapeFormatTest, AUserValueThatIsNoNumberIsPassedOver)
{
    Put_Switch(HKEY_CURRENT_USER, REG_SZ, "1", 2);
    Put_Switch(HKEY_LOCAL_MACHINE, 0);
    EXPECT_FALSE(Landscape_Format_Enabled());
}
