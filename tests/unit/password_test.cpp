// The suspension of the system's password flag and its restoration, and the
// password services where the system offers none.
#include "framework/App.h"
#include "session/PasswordHelper.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class PasswordFlagTest : public ::testing::Test {
protected:
    void SetUp() override { app.SetProfileName(folder.File("tolvarin.ini")); }
    void TearDown() override { test::DeleteUsePasswordFlag(); }
    int PassLock() const { return app.GetProfileInt("OTHER", "PassLock", -9); }

    test::TempFolder folder;
    App app;
};

TEST_F(PasswordFlagTest, AnyNonZeroFlagIsSuspendedAndComesBackAsOne) {
    test::SetUsePasswordFlag(5);
    EXPECT_EQ(ReadUsePasswordFlag(), 5u);
    EXPECT_TRUE(SuspendUsePasswordFlag(app));
    EXPECT_EQ(test::GetUsePasswordFlag(), 0u);
    EXPECT_EQ(PassLock(), 1);
    RestoreUsePasswordFlag(app);
    EXPECT_EQ(test::GetUsePasswordFlag(), 1u);
    EXPECT_EQ(PassLock(), 0);
}

TEST_F(PasswordFlagTest, ALeftOverPassLockCountsAsOn) {
    test::SetUsePasswordFlag(0);
    app.WriteProfileInt("OTHER", "PassLock", 1);
    EXPECT_TRUE(SuspendUsePasswordFlag(app));
    EXPECT_EQ(test::GetUsePasswordFlag(), 0u);
    RestoreUsePasswordFlag(app);
    EXPECT_EQ(test::GetUsePasswordFlag(), 1u);
    EXPECT_EQ(PassLock(), 0);
}

TEST_F(PasswordFlagTest, WithTheFlagOffNothingIsTouched) {
    test::DeleteUsePasswordFlag();
    EXPECT_FALSE(SuspendUsePasswordFlag(app));
    bool exists = true;
    test::GetUsePasswordFlag(&exists);
    EXPECT_FALSE(exists);
    EXPECT_FALSE(test::FileExists(folder.File("tolvarin.ini")));
}

TEST_F(PasswordFlagTest, WriteStoresADword) {
    WriteUsePasswordFlag(1);
    bool exists = false;
    EXPECT_EQ(test::GetUsePasswordFlag(&exists), 1u);
    EXPECT_TRUE(exists);
}

TEST(PasswordServiceTest, AMissingCheckLetsTheSessionEnd) {
    // There is no password.cpl beside the test program or in the system.
    test::SetUsePasswordFlag(0);
    PasswordHelper helper;
    EXPECT_TRUE(helper.VerifyPassword(nullptr));
    EXPECT_EQ(test::GetUsePasswordFlag(), 0u);
    helper.ChangePassword(nullptr);  // does nothing where the service is missing
    test::DeleteUsePasswordFlag();
}

}  // namespace
