# Zips a folder as Windows' own Explorer reads it: names in UTF-8 with the zip's UTF-8 flag set (Info-ZIP
# leaves it unset, and Explorer then shows a Cyrillic name such as Сутограф.exe in the DOS code page),
# entries sorted and dated 1 January 2000, so that the same files give the same zip.
# Usage: python3 zip_folder.py ZIP FOLDER   (the zip holds FOLDER's last name and everything in it)
import os
import sys
import zipfile

target, folder = sys.argv[1], os.path.abspath(sys.argv[2])
base = os.path.dirname(folder)
paths = [folder]
for parent, dirs, files in os.walk(folder):
    paths += [os.path.join(parent, name) for name in dirs + files]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for path in sorted(paths):
        name = os.path.relpath(path, base).replace(os.sep, "/")
        is_dir = os.path.isdir(path)
        entry = zipfile.ZipInfo(name + "/" if is_dir else name, date_time=(2000, 1, 1, 0, 0, 0))
        entry.create_system = 0  # MS-DOS attributes, as a zip made on Windows has
        entry.external_attr = 0x10 if is_dir else 0x20  # directory / archive
        if is_dir:
            archive.writestr(entry, b"")
        else:
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                archive.writestr(entry, f.read())
