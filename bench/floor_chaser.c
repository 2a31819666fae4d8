/* The least work a shaped, animated cursor chaser can ask of Win32: the floor that
 * bench/peer_cost.py measures kurun.exe against under the same Wine.
 *
 * Four 40 x 40 always-on-top popups, shown without activation, walk like the four characters
 * (the same start places, rest boxes and steps; the fourth follows the first) on one 50 ms
 * timer. A moving window makes, per tick, one outline change from a prebuilt outline of its
 * walk cycle, one move and one invalidation, repainted with a solid fill. A standing window
 * makes no call at all. The windows are named floor1 to floor4. */
#include <windows.h>

enum { kSize = 40, kWindows = 4, kCycle = 4, kTickMs = 50 };

struct Walker {
    const wchar_t* name;
    int left, top;  /* start place */
    int low, high, step;  /* rest box and step, as the characters have them */
    int followsFirst;
    HWND window;
    int frame;
};

static struct Walker walkers[kWindows] = {
    {L"floor1", -50, 140, 0, 32, 2, 0, NULL, 0},
    {L"floor2", -50, 364, -24, 12, 1, 0, NULL, 0},
    {L"floor3", -50, 600, -48, 24, 2, 0, NULL, 0},
    {L"floor4", 980, 364, -12, 32, 1, 1, NULL, 0},
};

/* The walk cycle's outlines, made once: a body with its legs in four places. */
static HRGN outlines[kCycle];
static HBRUSH fill;

static void BuildOutlines(void) {
    for (int k = 0; k < kCycle; ++k) {
        HRGN body = CreateEllipticRgn(4, 0, 36, 32);
        HRGN leftLeg = CreateRectRgn(8 + 2 * k, 28, 14 + 2 * k, 40);
        HRGN rightLeg = CreateRectRgn(26 - 2 * k, 28, 32 - 2 * k, 40);
        CombineRgn(body, body, leftLeg, RGN_OR);
        CombineRgn(body, body, rightLeg, RGN_OR);
        DeleteObject(leftLeg);
        DeleteObject(rightLeg);
        outlines[k] = body;
    }
}

/* SetWindowRgn takes the region it is given, so each change hands over a copy. */
static void SetOutline(HWND window, int k) {
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, outlines[k], NULL, RGN_COPY);
    SetWindowRgn(window, copy, FALSE);
}

static int Toward(int position, int target, const struct Walker* w) {
    if (target < position + w->low) return position - w->step;
    if (target > position + w->high) return position + w->step;
    return position;
}

static void Tick(struct Walker* w, POINT cursor) {
    RECT at;
    GetWindowRect(w->window, &at);
    POINT target = cursor;
    if (w->followsFirst) {
        RECT first;
        GetWindowRect(walkers[0].window, &first);
        target.x = first.left;
        target.y = first.top;
    }
    w->frame = (w->frame + 1) % kCycle;
    int left = Toward(at.left, target.x, w);
    int top = Toward(at.top, target.y, w);
    if (left == at.left && top == at.top) return;
    SetOutline(w->window, w->frame);
    SetWindowPos(w->window, NULL, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(w->window, NULL, FALSE);
}

static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER: {
        POINT cursor;
        GetCursorPos(&cursor);
        for (int i = 0; i < kWindows; ++i) Tick(&walkers[i], cursor);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, fill);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, msg, wParam, lParam);
    }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)previous, (void)commandLine, (void)show;
    WNDCLASSW cls = {0};
    cls.lpfnWndProc = WindowProcedure;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_HAND);
    cls.lpszClassName = L"FloorChaser";
    RegisterClassW(&cls);
    fill = CreateSolidBrush(RGB(200, 120, 60));
    BuildOutlines();
    for (int i = 0; i < kWindows; ++i) {
        struct Walker* w = &walkers[i];
        w->window = CreateWindowExW(WS_EX_TOPMOST, cls.lpszClassName, w->name, WS_POPUP,
                                    w->left, w->top, kSize, kSize, NULL, NULL, instance, NULL);
        if (!w->window) return 1;
        SetOutline(w->window, 0);
        ShowWindow(w->window, SW_SHOWNOACTIVATE);
    }
    SetTimer(walkers[0].window, 1, kTickMs, NULL);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
