// Work handed to the UI thread from other threads: posted in order, sent
// and waited for, refused after shutdown.

#include "test_window.h"

#include <atomic>
#include <thread>

namespace quellix::dui::test {
namespace {

TEST(Dispatcher, PostsFromAnotherThreadRunInOrderOnTheUiThread) {
    Dispatcher dispatcher;
    std::vector<int> seen;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            dispatcher.post([&seen, i] { seen.push_back(i); });
    });
    worker.join();
    EXPECT_EQ(dispatcher.runPending(), 100u);
    ASSERT_EQ(seen.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
}

TEST(Dispatcher, SendBlocksUntilTheUiThreadRanIt) {
    Dispatcher dispatcher;
    std::atomic<bool> sent{false};
    int value = 0; // written on the UI thread, read by the sender after send()
    std::thread worker([&] {
        bool ran = dispatcher.send([&] { value = 42; });
        EXPECT_TRUE(ran);
        EXPECT_EQ(value, 42);
        sent = true;
    });
    while (!dispatcher.waitForWork(std::chrono::milliseconds(50))) {
    }
    EXPECT_FALSE(sent.load());
    dispatcher.runPending();
    worker.join();
    EXPECT_TRUE(sent.load());
}

TEST(Dispatcher, SendOnTheUiThreadRunsInline) {
    Dispatcher dispatcher;
    bool ran = false;
    EXPECT_TRUE(dispatcher.send([&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_EQ(dispatcher.pendingCount(), 0u);
}

TEST(Dispatcher, ShutdownReleasesWaitingSendersWithoutRunningTheirWork) {
    Dispatcher dispatcher;
    std::atomic<bool> ran{false};
    std::atomic<int> result{-1};
    std::thread worker([&] { result = dispatcher.send([&] { ran = true; }) ? 1 : 0; });
    while (!dispatcher.waitForWork(std::chrono::milliseconds(50))) {
    }
    dispatcher.shutdown();
    worker.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(ran.load());
    EXPECT_FALSE(dispatcher.send([] {}));
}

TEST_F(DuiTest, WorkersTalkToTheMainWindowWhileTheLoopRuns) {
    TestWindow& window = Open("XML_MAIN");
    const HWND handle = window.GetHWND();
    window.onMessage = [&](UINT msg, WPARAM w, LPARAM, bool& handled) -> LRESULT {
        if (msg == WM_USER + 1) {
            handled = true;
            return static_cast<LRESULT>(w * 2);
        }
        return 0;
    };
    std::atomic<LRESULT> answer{0};
    std::thread worker([&] {
        PostMessage(handle, WM_USER + 2, 7, 0);
        answer = SendMessage(handle, WM_USER + 1, 21, 0);
        // A selection made for a worker runs on the UI thread.
        SendTask([&] { window.FindControl<CComboUI>("mode_combo")->SelectItem(2); });
        window.SetTimer(11, 500); // handed to the UI thread
        PostQuitMessage(3);
    });
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 3);
    worker.join();
    EXPECT_EQ(answer.load(), 42);
    ASSERT_EQ(window.MessagesOf(WM_USER + 2).size(), 1u);
    EXPECT_EQ(window.NotesOfType("itemselect").size(), 1u);
    backend.Pump();
    EXPECT_TRUE(window.HasTimer(11));
}

} // namespace
} // namespace quellix::dui::test
