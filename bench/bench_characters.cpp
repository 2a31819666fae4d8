// Prints the figures of the character windows: start-up time of the program's own work,
// the cost of a moving and of a standing tick, and how many pictures start-up scanned.
#include <windows.h>

#include <cstdio>

#include "app/Fenwa.h"
#include "app/Melka.h"
#include "app/Pelton.h"
#include "app/Program.h"
#include "app/Rugo.h"
#include "core/Outline.h"

using namespace kurun;

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per tick of character 1, walking diagonally or standing.
double TickCost(int ticks, bool moving) {
    double start = Now();
    for (int i = 0; i < ticks; ++i) {
        if (moving) {
            // Walking up and left toward the corner; now and then it is put back.
            if (Form1->Left() < 100) {
                Form1->SetLeft(1000);
                Form1->SetTop(1000);
            }
            SetCursorPos(0, 0);
        } else {
            SetCursorPos(Form1->Left() + 10, Form1->Top() + 10);
        }
        Form1->Timer1->Tick();
    }
    return (Now() - start) * 1e6 / ticks;
}

// Microseconds per outline change (one frame added and applied) and per window move.
double OutlineChangeCost(int count) {
    double start = Now();
    for (int i = 0; i < count; ++i) {
        Form1->RgnList1->Add(Form1->Frame(1 + i % kFrameCount));
        Form1->RgnList1->SetWndRgn();
    }
    return (Now() - start) * 1e6 / count;
}

double MoveCost(int count) {
    double start = Now();
    for (int i = 0; i < count; ++i) Form1->SetLeft(200 + i % 2);
    return (Now() - start) * 1e6 / count;
}

}  // namespace

int main() {
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

    const int ticks = 2000;
    TickCost(50, true);  // warm up
    double moving = TickCost(ticks, true);
    double standing = TickCost(ticks, false);

    std::printf("start-up (entry to four windows shown): %.2f ms\n", startup * 1e3);
    std::printf("pixel scans during start-up: %llu\n", static_cast<unsigned long long>(scans));
    std::printf("moving tick (two outline changes, two moves): %.1f us\n", moving);
    std::printf("standing tick: %.1f us\n", standing);
    std::printf("  of which one outline change: %.1f us, one move: %.1f us\n", OutlineChangeCost(ticks),
                MoveCost(ticks));
    return 0;
}
