#pragma once
// Memory for what only loading needs: a layout's unpacked text and the tree parsed from it.
// While a TScratchScope lives on a thread, that thread's allocations come from one arena of
// reserved pages, handed out in order and never reused. Once the last scope has ended and the
// last of its blocks is freed, the pages go back to the system. Under Wine the C runtime's heap
// keeps every page it once held, so loading's churn would otherwise stay with the program.

namespace forms {

class TScratchScope {
public:
    TScratchScope();
    ~TScratchScope();
    TScratchScope(const TScratchScope&) = delete;
    TScratchScope& operator=(const TScratchScope&) = delete;
};

// Whether the arena still holds pages: after loading it should not, as nothing loaded may keep
// a block of it.
bool ScratchArenaHeld();

}  // namespace forms
