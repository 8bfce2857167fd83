"""Packs files into a zip, the same bytes from any build.

    make_zip.py OUTPUT FOLDER FALLBACK_DATE FILE...

The files go under FOLDER, or at the zip's root when FOLDER is ".".
Entries are in name order, dated SOURCE_DATE_EPOCH (or FALLBACK_DATE,
YYYY-MM-DD, never the time of the build), with fixed permissions and no
extra fields: a zip tool would otherwise record each file's access and
change times, which differ from build to build.
"""
import os
import sys
import time
import zipfile


def main():
    output, folder, fallback, *files = sys.argv[1:]
    if "SOURCE_DATE_EPOCH" in os.environ:
        date_time = time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"]))[:6]
    else:
        date_time = tuple(int(part) for part in fallback.split("-")) + (0, 0, 0)
    # A zip cannot hold dates before 1980.
    date_time = max(date_time, (1980, 1, 1, 0, 0, 0))
    with zipfile.ZipFile(output + ".part", "w") as archive:
        for path in sorted(files, key=os.path.basename):
            name = os.path.basename(path)
            entry = zipfile.ZipInfo(name if folder == "." else folder + "/" + name, date_time)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3  # Unix, so that the permissions below count
            entry.external_attr = 0o100644 << 16
            with open(path, "rb") as f:
                archive.writestr(entry, f.read(), compresslevel=9)
    os.replace(output + ".part", output)


if __name__ == "__main__":
    main()
