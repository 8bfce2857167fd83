"""Sets what wixl leaves to chance in an installer's summary information:

    msi_summary.py MSI PACKAGE_CODE FALLBACK_DATE

wixl writes the time of the build as the package's creation and
last-saved times, and draws its package code at random. These become
SOURCE_DATE_EPOCH (or FALLBACK_DATE, YYYY-MM-DD) and PACKAGE_CODE. Both
keep their sizes, so nothing else in the file moves.

An installer is a compound file: the summary information is one of its
streams, in sectors that need not follow one another. It is found and
written back in place, the way the compound file format lays it out.
"""
import calendar
import os
import struct
import sys

STREAM = "\x05SummaryInformation"
VT_LPSTR, VT_FILETIME = 30, 64
PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 9, 12, 13
END_OF_CHAIN = 0xFFFFFFFE


def stream_pieces(f, name):
    """Where the stream `name` lies in the file: (offset, length) pieces."""
    f.seek(0)
    header = f.read(512)
    sector = 1 << struct.unpack_from("<H", header, 0x1E)[0]
    mini = 1 << struct.unpack_from("<H", header, 0x20)[0]
    directory, cutoff, minifat_start = struct.unpack_from("<I4xII", header, 0x30)
    difat_next, difat_count = struct.unpack_from("<II", header, 0x44)

    def read(index, size=sector):
        f.seek((index + 1) * sector)
        return f.read(size)

    fat_sectors = list(struct.unpack_from("<109I", header, 0x4C))
    for _ in range(difat_count):
        block = struct.unpack(f"<{sector // 4}I", read(difat_next))
        fat_sectors, difat_next = fat_sectors + list(block[:-1]), block[-1]
    fat = [n for s in fat_sectors if s < END_OF_CHAIN for n in struct.unpack(f"<{sector // 4}I", read(s))]

    def chain(start, table):
        while start != END_OF_CHAIN:
            yield start
            start = table[start]

    entries = b"".join(read(s) for s in chain(directory, fat))
    root_start = struct.unpack_from("<I", entries, 116)[0]
    for at in range(0, len(entries), 128):
        length = struct.unpack_from("<H", entries, at + 64)[0]
        if entries[at:at + length - 2].decode("utf-16-le") != name:
            continue
        start, size = struct.unpack_from("<IQ", entries, at + 116)
        if size >= cutoff:
            return [((s + 1) * sector, sector) for s in chain(start, fat)], size
        minifat = [n for s in chain(minifat_start, fat) for n in struct.unpack(f"<{sector // 4}I", read(s))]
        ministream = list(chain(root_start, fat))
        return [((ministream[m * mini // sector] + 1) * sector + m * mini % sector, mini)
                for m in chain(start, minifat)], size
    sys.exit(f"msi_summary.py: no stream {name!r}")


def main():
    path, code, fallback = sys.argv[1:]
    if "SOURCE_DATE_EPOCH" in os.environ:
        epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    else:
        epoch = calendar.timegm(tuple(int(part) for part in fallback.split("-")) + (0, 0, 0))
    filetime = (epoch + 11644473600) * 10_000_000  # 100 ns ticks since 1601
    code = f"{{{code.upper()}}}".encode("ascii") + b"\0"
    with open(path, "r+b") as f:
        pieces, size = stream_pieces(f, STREAM)
        info = bytearray()
        for offset, length in pieces:
            f.seek(offset)
            info += f.read(length)
        # A property set of one section: its offset, then (id, offset) pairs.
        section = struct.unpack_from("<I", info, 44)[0]
        done = set()
        for i in range(struct.unpack_from("<I", info, section + 4)[0]):
            pid, offset = struct.unpack_from("<II", info, section + 8 + 8 * i)
            kind, value = struct.unpack_from("<II", info, section + offset)
            at = section + offset + 4
            if pid == PID_REVNUMBER and kind == VT_LPSTR and value == len(code):
                info[at + 4:at + 4 + len(code)] = code
                done.add(pid)
            elif pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM) and kind == VT_FILETIME:
                struct.pack_into("<Q", info, at, filetime)
                done.add(pid)
        if done != {PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM} or len(info) < size:
            sys.exit(f"msi_summary.py: {path} has no package code or dates where wixl puts them")
        for offset, length in pieces:
            f.seek(offset)
            f.write(info[:length])
            info = info[length:]


if __name__ == "__main__":
    main()
