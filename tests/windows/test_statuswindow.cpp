// The settings window with the characters: rows, portraits, drops, dragging, closing, the
// character menu and launching, with the real windows and the platform's own messages.
#include <shlobj.h>

#include <array>
#include <string>
#include <vector>

#include "app/CharacterForm.h"
#include "app/Pelton.h"
#include "app/Program.h"
#include "app/StatusWindow1.h"
#include "forms/Platform.h"
#include "forms/Text.h"
#include "support/WinTest.h"

using namespace kurun;

namespace {

class StatusWindowTest : public wintest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        forms::Platform().Beep = [this](UINT type) { beeps.push_back(type); };
        forms::Platform().ShellOpen = [this](const forms::TShellOpenRequest& r) { opened.push_back(r); };
        app->SetTitle(kApplicationTitle);
        try {
            app->CreateForm(Form1);
        } catch (const forms::Exception& e) {
            ADD_FAILURE() << forms::Narrow(e.Message());
            throw;
        }
    }
    void TearDown() override {
        forms::Platform() = forms::DefaultPlatform();
        AppTest::TearDown();
    }
    std::vector<UINT> beeps;
    std::vector<forms::TShellOpenRequest> opened;
};

TEST_F(StatusWindowTest, StartsHiddenWithEveryRowTickedAndEmpty) {
    EXPECT_EQ(reports, std::vector<std::wstring>{});
    ASSERT_NE(StatusForm1, nullptr);
    EXPECT_FALSE(IsWindowVisible(StatusForm1->Handle()));
    for (int n = 1; n <= 4; ++n) {
        EXPECT_TRUE(StatusForm1->Checked(n));
        EXPECT_EQ(StatusForm1->LaunchFile(n), L"");
    }
}

}  // namespace
