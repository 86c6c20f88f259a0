# Lists the third-party code built into the Windows Qt DLLs, with each licence text, from the
# qt_attribution.json files of Qt's source. Entries for code the Windows build leaves out (other
# platforms, Network, D-Bus, OpenGL, Vulkan, JPEG, the test library) are skipped.
# Usage: python3 qt_attributions.py QT_SOURCE > Qt-third-party.txt
import glob
import json
import os
import sys

NOT_BUILT = {
    "android-native-style", "android-gradle-wrapper", "forkfd", "libjpeg",
    "libpsl", "pixman", "vera_font", "dejayvu", "xcb-xinput", "qeventdispatcher_cf",
    "libdbus-1-headers", "opengl-headers", "opengl-es2-headers", "psl",
    "cocoa-platform-plugin", "valgrind", "cycle", "linuxperf",
}
# Vulkan is off in this build: everything its folders attribute is left out.
NOT_BUILT_FOLDERS = (os.path.join("src", "gui", "vulkan"), os.path.join("src", "3rdparty", "VulkanMemoryAllocator"))

source = sys.argv[1]
print("Сторонний код в библиотеках Qt этой сборки / Third-party code in this build's Qt libraries\n")
for path in sorted(glob.glob(os.path.join(source, "src", "**", "qt_attribution.json"), recursive=True)):
    if os.path.relpath(os.path.dirname(path), source) in NOT_BUILT_FOLDERS:
        continue
    with open(path, encoding="utf-8") as f:
        entries = json.loads(f.read(), strict=False)
    for entry in entries if isinstance(entries, list) else [entries]:
        if entry["Id"] in NOT_BUILT:
            continue
        print("=" * 78)
        print(entry["Name"], entry.get("Version", ""))
        print("Used:", entry.get("QtUsage", "").replace("\n", " "))
        print("Licence:", entry.get("License", ""), f"({entry.get('LicenseId', '')})")
        print("Copyright:", entry.get("Copyright", ""))
        licence = entry.get("LicenseFile")
        if licence:
            with open(os.path.join(os.path.dirname(path), licence), encoding="utf-8", errors="replace") as f:
                print()
                print(f.read().rstrip())
        print()
