// Prints the figures of the character windows: start-up time of the program's own work, how many
// pictures start-up scanned, the cost of a moving and of a standing tick with its repaint, the
// window-system calls each kind of tick makes, and a soak of all four characters that shows
// whether memory or handles grow with ticks.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/Fenwa.h"
#include "app/Melka.h"
#include "app/Pelton.h"
#include "app/Program.h"
#include "app/Rugo.h"
#include "core/Outline.h"
#include "forms/Dpi.h"
#include "support/ApiCalls.h"
#include "support/WinTest.h"

using namespace kurun;
using wintest::Api;

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Place(TCharacterForm* form, int left, int top) {
    form->SetLeft(left);
    form->SetTop(top);
}

// The kinds of tick, for character 1: where the window starts and where the cursor is.
struct TickKind {
    const char* name;
    POINT start;
    std::function<POINT()> cursor;
};

const TickKind kDiagonal{"moving diagonally", {1000, 1000}, [] { return POINT{0, 0}; }};
const TickKind kStraight{"moving straight up", {500, 1000}, [] { return POINT{Form1->Left() + 16, 0}; }};
const TickKind kStanding{"standing", {500, 500}, [] { return POINT{Form1->Left() + 10, Form1->Top() + 10}; }};

void Start(const TickKind& kind) {
    Place(Form1, kind.start.x, kind.start.y);
    wintest::Pump();
}

// One tick as the program has it: the timer fires, then the loop repaints what it invalidated.
void Tick(const TickKind& kind) {
    POINT cursor = kind.cursor();
    SetCursorPos(cursor.x, cursor.y);
    Form1->Timer1->Tick();
    wintest::Pump();
}

// Microseconds per tick, its repaint included; the window goes back to its start now and then.
double TickCost(const TickKind& kind, int ticks) {
    double elapsed = 0;
    for (int done = 0; done < ticks; done += 200) {
        Start(kind);
        double start = Now();
        for (int i = 0; i < 200; ++i) Tick(kind);
        elapsed += Now() - start;
    }
    return elapsed * 1e6 / ticks;
}

// Character 1 as on a monitor of `dpi`: what the system tells a window that moved there.
void MoveToMonitor(int dpi) {
    RECT suggested{Form1->Left(), Form1->Top(), Form1->Left() + Form1->Width(), Form1->Top() + Form1->Height()};
    SendMessageW(Form1->Handle(), forms::WM_DPICHANGED_, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    wintest::Pump();
}

// The same ticks with the sprite drawn at 1 and at 2 screen pixels a picture pixel.
void PrintCostByScale(int ticks) {
    const TickKind* kinds[] = {&kDiagonal, &kStraight, &kStanding};
    double cost[2][3] = {};
    for (int scale = 1; scale <= 2; ++scale) {
        MoveToMonitor(96 * scale);
        TickCost(kDiagonal, 200);  // warm up at this size
        for (size_t k = 0; k < 3; ++k) cost[scale - 1][k] = TickCost(*kinds[k], ticks);
    }
    MoveToMonitor(96);
    std::printf("tick cost by scale, repaint included:   x1 (96 dpi)   x2 (192 dpi)\n");
    for (size_t k = 0; k < 3; ++k)
        std::printf("  %-20s %19.1f us %11.1f us\n", kinds[k]->name, cost[0][k], cost[1][k]);
}

void PrintCallsPerTick(const TickKind& kind) {
    const int ticks = 100;
    Start(kind);
    for (int i = 0; i < 4; ++i) Tick(kind);  // the first tick of a kind may differ
    wintest::ApiCalls calls;
    for (int i = 0; i < ticks; ++i) Tick(kind);
    auto per = [&](int count) { return static_cast<double>(count) / ticks; };
    std::printf("  %-20s outline changes %.1f, moves %.1f, repaints %.1f (asked %.1f), cursor reads %.1f, "
                "all window calls %.1f\n",
                kind.name, per(calls[Api::SetWindowRgn]), per(calls[Api::SetWindowPos] + calls[Api::MoveWindow]),
                per(calls[Api::BeginPaint]), per(calls[Api::InvalidateRect] + calls[Api::RedrawWindow]),
                per(calls[Api::GetCursorPos]), per(calls.WindowCalls()));
}

struct Resources {
    size_t privateBytes;
    int gdi, user;
};

Resources Measure() {
    wintest::Pump();
    // The commit charge, the process's private memory (Wine leaves PrivateUsage at 0).
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return {memory.PagefileUsage, wintest::LiveGdiObjects(),
            static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))};
}

void PrintResources(const char* when, long long ticks, const Resources& r) {
    char user[16] = "n/a";  // Wine answers 0: it does not count them
    if (r.user > 0) std::snprintf(user, sizeof user, "%d", r.user);
    std::printf("  %-5s %9lld ticks: private bytes %zu, GDI objects %d, USER objects %s\n", when, ticks,
                r.privateBytes, r.gdi, user);
    std::fflush(stdout);
}

// Ticks of the four characters (each tick steps all four), the cursor jumping about so that they
// keep walking in every direction; the loop's repaints run every few ticks. The figures come at
// the start, every 100,000 ticks and at the end.
void Soak(long long ticks) {
    const long long every = 100000;
    TCharacterForm* const characters[] = {Form1, Form2, Form3, Form4};
    PrintResources("start", 0, Measure());
    double start = Now();
    for (long long t = 1; t <= ticks; ++t) {
        SetCursorPos(t / 40 % 2 ? 100 : 1100, t / 60 % 2 ? 100 : 900);
        for (TCharacterForm* form : characters) form->Timer1->Tick();
        if (t % 4 == 0) wintest::Pump();
        if (t % every == 0 && t != ticks) PrintResources("", t, Measure());
    }
    double seconds = Now() - start;
    PrintResources("end", ticks, Measure());
    std::printf("soak: %lld ticks of the four characters in %.1f s\n", ticks, seconds);
}

}  // namespace

// Optional arguments: the soak's length in ticks of the four characters (100000), the ticks timed
// of each kind (2000).
int main(int argc, char** argv) {
    const long long soakTicks = argc > 1 ? std::atoll(argv[1]) : 100000;
    const int ticks = argc > 2 ? std::max(200, std::atoi(argv[2])) : 2000;
    forms::TApplication application(nullptr);
    application.SetTitle(kApplicationTitle);
    application.OnException = [](forms::TObject*, const forms::Exception& e) {
        std::fwprintf(stderr, L"error: %ls\n", e.Message().c_str());
    };
    uint64_t scansBefore = core::ScanCount();
    double start = Now();
    application.CreateForm(Form1);
    Form1->Show();
    double startup = Now() - start;
    uint64_t scans = core::ScanCount() - scansBefore;
    // The bench drives every tick itself.
    for (TCharacterForm* form : {static_cast<TCharacterForm*>(Form1), static_cast<TCharacterForm*>(Form2),
                                 static_cast<TCharacterForm*>(Form3), static_cast<TCharacterForm*>(Form4)})
        form->Timer1->SetEnabled(false);

    std::printf("start-up (entry to four windows shown): %.2f ms\n", startup * 1e3);
    std::printf("pixel scans during start-up: %llu\n", static_cast<unsigned long long>(scans));

    TickCost(kDiagonal, 200);  // warm up
    std::printf("moving tick (diagonal, repaint included): %.1f us\n", TickCost(kDiagonal, ticks));
    std::printf("moving tick (straight, repaint included): %.1f us\n", TickCost(kStraight, ticks));
    std::printf("standing tick: %.1f us\n", TickCost(kStanding, ticks));
    PrintCostByScale(ticks);

    std::printf("window-system calls per tick:\n");
    PrintCallsPerTick(kDiagonal);
    PrintCallsPerTick(kStraight);
    PrintCallsPerTick(kStanding);

    Soak(soakTicks);
    return 0;
}
