"""The whole factor of other densities: at 96 dpi (the private prefix) every character window
is its layout's size with its stored outline as its shape, as ever; at 144 dpi (150 %, exactly
halfway) the rule rounds up, so the windows and shapes are doubled."""
import subprocess

from kurun_e2e import Kurun, OwnDisplay, check_shapes, dpi_prefix, main


def test(exe, artifacts):
    with Kurun(exe, artifacts, "dpi-96") as k:
        k.wait_windows()
        check_shapes(k, 1)
    prefix = dpi_prefix(144)
    with OwnDisplay(2560, 2048):
        with Kurun(exe, artifacts, "dpi-144", prefix=prefix) as k:
            k.wait_windows()
            check_shapes(k, 2)
        # The prefix's own Wine processes leave before their display does.
        subprocess.run(["timeout", "20", "env", f"WINEPREFIX={prefix}", "wineserver", "-w"])


if __name__ == "__main__":
    main(test)
