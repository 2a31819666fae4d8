// One program per executable name and session: the first start runs and listens, a later one
// hands it a request and does not run; the name is free again once the first has gone.
#include <windows.h>

#include <memory>
#include <thread>

#include "components/SingleInstance.h"
#include "support/WinTest.h"

namespace {

using components::TSingleInstance;

constexpr const wchar_t* kName = L"Kurun-Test.EXE";

TEST(SingleInstance, TheFirstRunsALaterStartAsksItAndDoesNotRun) {
    TSingleInstance first(kName);
    int requests = 0;
    first.OnRequest = [&] { ++requests; };
    ASSERT_TRUE(first.Claim());
    EXPECT_EQ(first.Name(), L"Local\\kurun-test.exe");
    // The session's namespace holds it, whatever the case the program was started with.
    HANDLE named = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\kurun-test.exe");
    EXPECT_NE(named, nullptr);
    if (named) CloseHandle(named);

    for (const wchar_t* later : {L"kurun-test.exe", L"KURUN-TEST.exe"}) {
        TSingleInstance second(later);
        EXPECT_FALSE(second.Claim(2000));
        wintest::Pump();
    }
    EXPECT_EQ(requests, 2);

    TSingleInstance other(L"another.exe");
    EXPECT_TRUE(other.Claim(0)) << "another program's name is its own";
    wintest::Pump();
    EXPECT_EQ(requests, 2);
}

TEST(SingleInstance, TheNameIsFreeOnceTheFirstHasGone) {
    auto first = std::make_unique<TSingleInstance>(kName);
    ASSERT_TRUE(first->Claim());
    first.reset();
    TSingleInstance next(kName);
    EXPECT_TRUE(next.Claim(0));
}

// A start that meets a program still starting (no one listening yet) waits for it; when that
// program ends instead, the waiting start runs.
TEST(SingleInstance, AStartThatFindsNoOneListeningRunsWhenTheOtherEnds) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([ready] {
        // The mutex alone, held by another thread for a moment: a program that dies while starting.
        HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Local\\kurun-test.exe");
        SetEvent(ready);
        Sleep(300);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    });
    WaitForSingleObject(ready, INFINITE);
    TSingleInstance waiting(kName);
    EXPECT_TRUE(waiting.Claim(5000));
    holder.join();
    CloseHandle(ready);

    // Once it runs, it listens like any first start.
    int requests = 0;
    waiting.OnRequest = [&] { ++requests; };
    TSingleInstance later(kName);
    EXPECT_FALSE(later.Claim(1000));
    wintest::Pump();
    EXPECT_EQ(requests, 1);
}

}  // namespace
