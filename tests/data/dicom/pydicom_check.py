"""Second reader for the DICOM tests: what pydicom makes of a file.

  pixel FILE       -> "offset N" (first pixel byte, or -1) and, for native
                      one-frame 16-bit grey images, "image COLS ROWS SUM FIRST LAST"
                      with the raw 16-bit words
  anon ORIG COPY   -> "ok N" when COPY equals ORIG except that the N patient
                      group values (not sequences) are runs of "1"; else a reason
"""
import sys

import pydicom
from pydicom import filereader

IMPLICIT = "1.2.840.10008.1.2"
BIG = "1.2.840.10008.1.2.2"
NATIVE = ("1.2.840.10008.1.2", "1.2.840.10008.1.2.1", "1.2.840.10008.1.2.2")


def pixel(path):
    offset, ts = -1, ""
    try:
        with open(path, "rb") as fp:
            filereader.read_preamble(fp, False)
            meta = filereader._read_file_meta_info(fp)
            ts = str(meta.get("TransferSyntaxUID", ""))
            for raw in filereader.data_element_generator(fp, ts == IMPLICIT, ts != BIG):
                if raw.tag == 0x7FE00010:
                    offset = raw.value_tell
                    break
    except Exception:  # no "DICM", or a file pydicom cannot follow
        pass
    print("offset", offset)
    try:
        ds = pydicom.dcmread(path)
        ds.pixel_array
    except Exception:
        return
    if (ts in NATIVE and ds.get("BitsAllocated") == 16 and ds.get("SamplesPerPixel", 1) == 1
            and int(ds.get("NumberOfFrames", 1) or 1) == 1):
        a = ds.pixel_array.astype("int64") & 0xFFFF
        print("image", ds.Columns, ds.Rows, int(a.sum()), int(a.flat[0]), int(a.flat[-1]))


def anon(orig, copy):
    a = pydicom.dcmread(orig)
    b = pydicom.dcmread(copy)
    if a.file_meta != b.file_meta:
        return "file meta differs"
    if list(a.keys()) != list(b.keys()):
        return "elements differ"
    n = 0
    for tag in a.keys():
        ea, eb = a.get_item(tag), b.get_item(tag)
        va, vb = ea.value, eb.value
        if tag >> 16 == 0x0010 and ea.VR != "SQ" and va not in (None, b"", ""):
            raw = vb if isinstance(vb, bytes) else None
            if raw is None:
                return f"{tag:08X} not raw"
            if len(raw) != len(va) or set(raw) != {ord("1")}:
                return f"{tag:08X} is {raw!r}"
            n += 1
        elif va != vb:
            return f"{tag:08X} differs"
    return f"ok {n}"


if __name__ == "__main__":
    if sys.argv[1] == "pixel":
        pixel(sys.argv[2])
    else:
        print(anon(sys.argv[2], sys.argv[3]))
