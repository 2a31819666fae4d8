"""kurun.exe as Windows loads it, read from the headers the build recorded (objdump -p): every
import is a library Windows takes from its system folder alone, never from the program's folder
where a download could lie beside it; and the image keeps ASLR, high-entropy ASLR and DEP."""
import re
import sys

# Known DLLs, lower case: Windows maps them from its system folder, whatever the search order.
KNOWN_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll", "advapi32.dll",
              "shlwapi.dll", "comdlg32.dll", "msvcrt.dll"}
API_SET = re.compile(r"api-ms-win-[\w-]+\.dll")  # API sets: resolved by the loader, no file is searched
FLAGS = {"DYNAMIC_BASE": 0x40, "HIGH_ENTROPY_VA": 0x20, "NX_COMPAT": 0x100}


def faults(headers):
    imports = [name.lower() for name in re.findall(r"DLL Name: (\S+)", headers)]
    found = [f"imports {name}, which Windows would search for beside the program first"
             for name in imports if name not in KNOWN_DLLS and not API_SET.fullmatch(name)]
    if "kernel32.dll" not in imports:
        found.append(f"no import list in the headers (imports read: {imports})")
    characteristics = re.search(r"DllCharacteristics\s+([0-9a-fA-F]+)", headers)
    value = int(characteristics.group(1), 16) if characteristics else 0
    found += [f"the image lacks {flag}" for flag, bit in FLAGS.items() if not value & bit]
    return found


if __name__ == "__main__":
    with open(sys.argv[1], encoding="utf-8", errors="replace") as f:
        problems = faults(f.read())
    print("\n".join(f"FAIL: {p}" for p in problems) or "PASS")
    sys.exit(1 if problems else 0)
