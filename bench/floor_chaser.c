/* The least work a shaped, animated cursor chaser can ask of Win32: the floor that
 * bench/peer_cost.py measures kurun.exe against under the same Wine.
 *
 * Four 40 x 40 always-on-top popups, shown without activation, walk like the four characters
 * (the same start places, rest boxes and steps; the fourth follows the first) on one 50 ms
 * timer. A moving window makes, per tick, one outline change from a prebuilt outline of its
 * walk cycle, one move and one invalidation, repainted with a solid fill. A standing window
 * makes no call at all. The windows are named floor1 to floor4.
 *
 *     floor_chaser.exe [outlines file]
 *
 * Without a file every window walks with the same simple outlines: a body with its legs in four
 * places. With one, each window walks with its character's own sixteen outlines (up 1-4, down
 * 5-8, left 9-12, right 13-16), so the X server has the same shapes to change as for the
 * characters. The file holds, for each window in turn and each of its frames, a 32-bit byte
 * count and that many bytes of RGNDATA (bench/peer_cost.py writes it from the layouts). */
#include <stdio.h>
#include <windows.h>

enum { kSize = 40, kWindows = 4, kCycle = 4, kFrames = 16, kTickMs = 50 };
/* Where each direction's walk cycle starts among the sixteen outlines. */
enum { kUp = 0, kDown = 4, kLeft = 8, kRight = 12 };

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

/* Each window's outlines, made once. */
static HRGN outlines[kWindows][kFrames];
static HBRUSH fill;

static void BuildSimpleOutlines(void) {
    for (int k = 0; k < kCycle; ++k) {
        HRGN body = CreateEllipticRgn(4, 0, 36, 32);
        HRGN leftLeg = CreateRectRgn(8 + 2 * k, 28, 14 + 2 * k, 40);
        HRGN rightLeg = CreateRectRgn(26 - 2 * k, 28, 32 - 2 * k, 40);
        CombineRgn(body, body, leftLeg, RGN_OR);
        CombineRgn(body, body, rightLeg, RGN_OR);
        DeleteObject(leftLeg);
        DeleteObject(rightLeg);
        for (int i = 0; i < kWindows; ++i)
            for (int d = 0; d < kFrames; d += kCycle) outlines[i][d + k] = body;
    }
}

/* Reads the file's 64 outlines; false when it is short or holds something else. */
static BOOL ReadOutlines(const wchar_t* path) {
    FILE* file = _wfopen(path, L"rb");
    if (!file) return FALSE;
    BOOL ok = TRUE;
    for (int i = 0; i < kWindows && ok; ++i)
        for (int f = 0; f < kFrames && ok; ++f) {
            DWORD size = 0;
            static unsigned char data[64 * 1024];
            ok = fread(&size, sizeof size, 1, file) == 1 && size >= sizeof(RGNDATAHEADER) &&
                 size <= sizeof data && fread(data, 1, size, file) == size &&
                 (outlines[i][f] = ExtCreateRegion(NULL, size, (const RGNDATA*)data)) != NULL;
        }
    fclose(file);
    return ok;
}

/* SetWindowRgn takes the region it is given, so each change hands over a copy. */
static void SetOutline(HWND window, HRGN outline) {
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, outline, NULL, RGN_COPY);
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
    /* A sideways step shows its direction's frame, as a character's does. */
    int cycle = left < at.left ? kLeft : left > at.left ? kRight : top < at.top ? kUp : kDown;
    SetOutline(w->window, outlines[w - walkers][cycle + w->frame]);
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
    (void)previous, (void)show;
    WNDCLASSW cls = {0};
    cls.lpfnWndProc = WindowProcedure;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_HAND);
    cls.lpszClassName = L"FloorChaser";
    RegisterClassW(&cls);
    fill = CreateSolidBrush(RGB(200, 120, 60));
    if (commandLine && *commandLine) {
        if (!ReadOutlines(commandLine)) return 2;
    } else {
        BuildSimpleOutlines();
    }
    for (int i = 0; i < kWindows; ++i) {
        struct Walker* w = &walkers[i];
        w->window = CreateWindowExW(WS_EX_TOPMOST, cls.lpszClassName, w->name, WS_POPUP,
                                    w->left, w->top, kSize, kSize, NULL, NULL, instance, NULL);
        if (!w->window) return 1;
        SetOutline(w->window, outlines[i][kUp]);
        ShowWindow(w->window, SW_SHOWNOACTIVATE);
    }
    SetTimer(walkers[0].window, 1, kTickMs, NULL);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
