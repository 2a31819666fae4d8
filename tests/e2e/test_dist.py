"""The release archive as a user gets it: one folder with kurun.exe, the README and the licence,
the program no larger than 1.5 MB; unzipped anywhere, it starts and shows its four characters."""
import os
import shutil
import tempfile
import zipfile

from kurun_e2e import NAMES, ROOT, Failure, Kurun, check, main

MAX_EXE_BYTES = 1536 * 1024


def test(exe, artifacts):
    archive = os.environ.get("KURUN_DIST_ZIP", "")
    if not os.path.isfile(archive):
        raise Failure(f"no release archive at {archive!r}: build the windows preset (it makes one)")
    folder = os.path.basename(archive).removesuffix("-win64.zip")
    with zipfile.ZipFile(archive) as z:
        files = sorted(n for n in z.namelist() if not n.endswith("/"))
        expected = sorted(f"{folder}/{n}" for n in ("kurun.exe", "README.md", "LICENSE"))
        check(files == expected, f"{os.path.basename(archive)} holds {files}, expected {expected}")
        check(z.testzip() is None, f"{os.path.basename(archive)} is damaged")
        for name, source in (("kurun.exe", exe), ("README.md", os.path.join(ROOT, "README.md")),
                             ("LICENSE", os.path.join(ROOT, "LICENSE"))):
            with open(source, "rb") as f:
                check(z.read(f"{folder}/{name}") == f.read(), f"{name} in the archive is not the built one")
        size = z.getinfo(f"{folder}/kurun.exe").file_size
        check(size <= MAX_EXE_BYTES, f"kurun.exe is {size} bytes, more than {MAX_EXE_BYTES}")
        print(f"{os.path.basename(archive)}: {files}, kurun.exe {size} bytes")

        unpacked = tempfile.mkdtemp(prefix="kurun dist ")
        try:
            z.extractall(unpacked)
            with Kurun(os.path.join(unpacked, folder, "kurun.exe"), artifacts, "dist") as k:
                k.wait_windows()
                print(f"the unpacked program shows {', '.join(NAMES)}")
        finally:
            shutil.rmtree(unpacked, ignore_errors=True)


if __name__ == "__main__":
    main(test)
