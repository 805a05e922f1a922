#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

#include "quellix/app/application.h"
#include "quellix/app/main_wnd.h"
#include "quellix/dui/headless.h"
#include "quellix/hid/device.h"
#include "quellix/platform/debug.h"
#include "temp_dir.h"

namespace quellix::app {
namespace {

// A name of this test process only, so that a running program is not disturbed.
std::string testInstanceName() {
    return "quellix-app-test-" + std::to_string(getpid());
}

TEST(SingleInstance, SecondInstanceHandsTheShowMessageToTheFirstWindow) {
    // The window's settings ("main.ini", the machine's key store) stay in
    // a private folder.
    static platform::test::TempDir settings;
    setenv("QUELLIX_DOCUMENTS_DIR", settings.path().c_str(), 0);
    setenv("QUELLIX_MACHINE_STORE", (settings.path() / "machine.ini").c_str(), 0);
    dui::HeadlessBackend backend;
    dui::Toolkit toolkit(backend);
    ASSERT_TRUE(SetUpResources(toolkit, APP_TEST_DATA));

    InstanceClaim first = ClaimInstance(testInstanceName());
    ASSERT_FALSE(first.secondInstance);
    ASSERT_TRUE(first.instance && first.instance->isPrimary());

    // No device: the workers look at an empty simulator directory.
    platform::test::TempDir noDevices;
    bool answered = false;
    const auto mark = platform::debugSequence();
    bool secondExited = false;
    std::thread second;
    RunMainWindow(toolkit, std::move(first.instance),
                  hid::DeviceSource::simulator(noDevices.path()), [&](CMainWnd& window) {
                      window.ShowWindow(false);
                      second = std::thread([&] {
                          // The second process's steps: claim, deliver, leave.
                          InstanceClaim claim = ClaimInstance(testInstanceName());
                          secondExited = claim.secondInstance && !claim.instance;
                          // Queued after the delivered message, so it runs once that was handled.
                          // The first window traces the message when it handles it.
                          dui::PostTask([&] {
                              for (const auto& line : platform::debugLinesSince(mark)) {
                                  answered = answered || line.starts_with("软件标示 ");
                              }
                              window.DestroyWindow();
                          });
                      });
                  });
    second.join();
    EXPECT_TRUE(secondExited);
    EXPECT_TRUE(answered);

    // Once the first run ended the name is free again.
    InstanceClaim later = ClaimInstance(testInstanceName());
    EXPECT_FALSE(later.secondInstance);
}

} // namespace
} // namespace quellix::app
