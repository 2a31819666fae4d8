"""Screenshot: each character shows sprite pixels where its window is, the rest of its window is
cut away, and the key colour never reaches the screen, standing or walking."""
import os
import time
from kurun_e2e import (Kurun, NAMES, SPRITE, background, check, key_pixels, main, move_pointer,
                       screen_size, screenshot)

# Fewer than this many visible pixels in a 40 x 40 sprite box means nothing was drawn there.
MIN_SPRITE_PIXELS = 60


def on_screen(pos, width, height):
    x, y = pos
    return 0 <= x and x + SPRITE <= width and 0 <= y and y + SPRITE <= height


def check_shot(k, path, width, height):
    positions = k.positions()
    w, h, raw = screenshot(path)
    # Positions read on both sides of the screenshot: a window that moved meanwhile is skipped
    # for the per-window checks, the key colour check holds for the whole screen regardless.
    after = k.positions()
    keys = key_pixels(w, raw)
    check(not keys, f"{len(keys)} pixels in the key colour on screen, first at {keys[:5]} "
                    f"(windows at {positions}; see {path})")
    bg = background(raw)

    def px(x, y):
        i = (y * w + x) * 3
        return raw[i:i + 3]

    sprite_boxes = [(x, y, x + SPRITE, y + SPRITE) for x, y in positions.values()]
    for name in NAMES:
        if positions[name] != after[name]:
            continue
        x0, y0 = positions[name]
        drawn = sum(1 for y in range(y0, y0 + SPRITE) for x in range(x0, x0 + SPRITE)
                    if 0 <= x < w and 0 <= y < h and px(x, y) != bg)
        check(drawn >= MIN_SPRITE_PIXELS,
              f"{name} at {positions[name]} shows {drawn} sprite pixels, expected at least "
              f"{MIN_SPRITE_PIXELS} (see {path})")
        # The window is wider and taller than the sprite; all of that must be cut away.
        info = k.windows[name].info()
        leaks = 0
        for y in range(y0, y0 + info["h"]):
            for x in range(x0, x0 + info["w"]):
                if not (0 <= x < w and 0 <= y < h):
                    continue
                if any(a <= x < c and b <= y < d for a, b, c, d in sprite_boxes):
                    continue
                if px(x, y) != bg:
                    leaks += 1
        check(leaks == 0, f"{name} at {positions[name]} shows {leaks} pixels outside its "
                          f"sprite: the window is not cut to its outline (see {path})")
    return positions


def test(exe, artifacts):
    width, height = screen_size()
    # Close to where characters 1 to 3 enter, so they are all on the screen within seconds.
    move_pointer(60, 400)
    with Kurun(exe, artifacts, "screenshot") as k:
        k.wait_windows()
        # Wait for everyone to walk onto the screen.
        deadline = time.monotonic() + 30
        while not all(on_screen(p, width, height) for p in k.positions().values()):
            check(time.monotonic() < deadline,
                  f"characters still off screen after 30 s: {k.positions()}")
            time.sleep(0.2)
        # Walking: several shots while frames change.
        for i in range(3):
            check_shot(k, os.path.join(k.artifacts, f"walking{i}.png"), width, height)
            time.sleep(0.25)
        # Later, when most of them have reached the pointer and stand.
        time.sleep(8)
        positions = check_shot(k, os.path.join(k.artifacts, "later.png"), width, height)
        print(f"characters at {positions}; screenshots in {k.artifacts}")


if __name__ == "__main__":
    main(test)
