#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

#include "quellix/app/application.h"
#include "quellix/app/main_wnd.h"
#include "quellix/dui/headless.h"

namespace quellix::app {
namespace {

// A name of this test process only, so that a running program is not disturbed.
std::string testInstanceName() {
    return "quellix-app-test-" + std::to_string(getpid());
}

TEST(SingleInstance, SecondInstanceHandsTheShowMessageToTheFirstWindow) {
    dui::HeadlessBackend backend;
    dui::Toolkit toolkit(backend);
    ASSERT_TRUE(SetUpResources(toolkit, APP_TEST_DATA));

    InstanceClaim first = ClaimInstance(testInstanceName());
    ASSERT_FALSE(first.secondInstance);
    ASSERT_TRUE(first.instance && first.instance->isPrimary());

    bool shownAgain = false;
    bool secondExited = false;
    std::thread second;
    RunMainWindow(toolkit, std::move(first.instance), [&](CMainWnd& window) {
        window.ShowWindow(false);
        second = std::thread([&] {
            // The second process's steps: claim, deliver, leave.
            InstanceClaim claim = ClaimInstance(testInstanceName());
            secondExited = claim.secondInstance && !claim.instance;
            // Queued after the delivered message, so it runs once that was handled.
            dui::PostTask([&] {
                shownAgain = window.IsWindowVisible();
                window.DestroyWindow();
            });
        });
    });
    second.join();
    EXPECT_TRUE(secondExited);
    EXPECT_TRUE(shownAgain);

    // Once the first run ended the name is free again.
    InstanceClaim later = ClaimInstance(testInstanceName());
    EXPECT_FALSE(later.secondInstance);
}

} // namespace
} // namespace quellix::app
