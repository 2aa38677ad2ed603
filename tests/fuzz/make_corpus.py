#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (tests/fuzz/corpus/<target>/)
from the sample logs in Projects/ and from logs of the survey generator.

Each seed starts with the choice bytes its target reads first (see the
target's source), followed by the text. Run from anywhere:

    python3 tests/fuzz/make_corpus.py [--generator PATH]

The corpora are small on purpose: a few dozen files of a few KB per target.
"""
import argparse
import pathlib
import shutil
import subprocess

ROOT = pathlib.Path(__file__).resolve().parents[2]
CORPUS = ROOT / "tests" / "fuzz" / "corpus"
PROJECTS = ROOT / "Projects"

# Set-up choices of FuzzSamples.cpp: the log kinds in the order of the kinds
# table, then the navigation set-ups.
SETUP = {"kvg": 0, "kvs": 1, "kvl": 2, "zpx": 3, "zpt": 4, "rtc": 5, "rtb": 6,
         "pnav-plus": 7, "pnav-p": 8}
SAMPLES = {"kvl": "line01.kvl", "kvs": "line02.kvs", "kvg": "line03.kvg", "zpx": "line04.zpx",
           "zpt": "line05.zpt", "rtb": "line06.rtb", "rtc": "line07.rtc", "pnav-plus": "line08.pnav"}
EXTENSIONS = [".kvl", ".kvs", ".kvg", ".zpx", ".zpt", ".rtb", ".rtc", ".txt"]


def lines_of(data):
    return data.replace(b"\r\n", b"\n").split(b"\n")


def head(data, count):
    return b"\r\n".join(lines_of(data)[:count]) + b"\r\n"


def generated(generator, kind, seed):
    if not generator:
        return None
    args = ["python3", str(generator), "--kind", kind, "--records", "40", "--bad-fraction", "0.3",
            "--seed", str(seed)]
    return subprocess.run(args, check=True, capture_output=True).stdout


def logs(generator):
    """(kind, sample text, generated text or None) for every kind."""
    for kind, setup in SETUP.items():
        sample = (PROJECTS / SAMPLES[kind]).read_bytes() if kind in SAMPLES else None
        yield kind, sample, generated(generator, kind, 7 + setup)


def write(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def data_lines(text, count):
    return [line for line in lines_of(text)[:count * 3] if line.strip()][-count:]


def record_seeds(generator):
    for kind, sample, made in logs(generator):
        setup = bytes([SETUP[kind], 0])
        for source, text in (("sample", sample), ("generated", made)):
            if text is None:
                continue
            for i, line in enumerate(data_lines(text, 3)):
                write("fuzz_record_line", f"{kind}-{source}-{i}", setup + line)
            write("fuzz_record_file", f"{kind}-{source}", setup + bytes([0x23]) + head(text, 40))


def kind_seeds(generator):
    for kind, sample, made in logs(generator):
        for source, text in (("sample", sample), ("generated", made)):
            if text is not None and not kind.startswith("pnav"):
                write("fuzz_log_kind", f"{kind}-{source}", bytes([0, 0, 0]) + head(text, 12))
    write("fuzz_log_kind", "stop-word", bytes([0, 0, 0]) + b"Dev    lat        long\r\n$MGD,+01234\r\n")
    write("fuzz_log_kind", "title-36", bytes([0, 0, 0]) + b"T" * 36 + b"\r\n")
    write("fuzz_log_kind", "boundary", bytes([1, 3, 0]) + b"\r\n$MGD,+01234,0000000000\r\n")


def document_seeds(generator):
    comments = b"2=first, note\r\n5=fifth\r\n"
    for kind, sample, made in logs(generator):
        navigation = kind.startswith("pnav")
        choice = (0x80 | (SETUP[kind] - 7)) if navigation else EXTENSIONS.index("." + kind)
        for source, text in (("sample", sample), ("generated", made)):
            if text is None:
                continue
            body = b"\r\n".join(lines_of(text)[2:60]) if navigation else head(text, 60)
            note = b"" if navigation else comments
            write("fuzz_document_load", f"{kind}-{source}", bytes([choice, 0x0e, len(note)]) + note + body)


def pnav_seeds(generator):
    links = bytes([3, 0, 11, 22])  # @0 Dev, @1 Towfish Depth, @2 Sounder
    for kind, sample, made in logs(generator):
        if not kind.startswith("pnav"):
            continue
        for source, text in (("sample", sample), ("generated", made)):
            if text is not None:
                write("fuzz_pnav_header", f"{kind}-{source}", links + head(text, 12))
    for name, header in (("time-p3", b"@t,@p:3,@0,@1"), ("plus-and-p", b"@t,@+,@p,@0"),
                         ("leading-space", b" @t,@0"), ("gt-width", b"@>:2,@p:4,@9,@0"),
                         ("p-width-zero", b"@t,@p:0,@0,@1")):
        write("fuzz_pnav_header", name, bytes([2, 0, 0xE0]) + b"Navigation\r\n" + header + b"\r\n")
    write("fuzz_pnav_header", "one-line", bytes([0]) + b"@t,@0\r\n")


def settings_seeds():
    for which, name in enumerate(["SerialPort.ega", "View.ega", "UTM.ega", "Files.ega"]):
        write("fuzz_settings", name, bytes([which]) + (ROOT / "Lib" / name).read_bytes())
    write("fuzz_settings", "Download.ega", bytes([4]) + b"/home/survey/downloads\r\n")
    for i, value in enumerate([b"9600", "/survey/b\u00e4\u00e9.kvl".encode(), b"\xa6\xa9!", b""]):
        write("fuzz_settings", f"value-{i}", bytes([5]) + value)
    for i, text in enumerate([b"clBtnFace", b"$00FF8000", b"-16777201", b"CLRED"]):
        write("fuzz_settings", f"colour-{i}", bytes([6]) + text)
    write("fuzz_settings", "Alarms.ega", bytes([0xF0]) + (ROOT / "Lib" / "Alarms.ega").read_bytes())
    for i, text in enumerate([b"0.5", b" +20000 ", b"-1.25", b"1e3"]):
        write("fuzz_settings", f"number-{i}", bytes([0xF1]) + text)


def events_seeds():
    lines = [
        b"2026-12-09T18:33:18.123Z\t1234\tNo data\talarm\t3.2\ts without a valid record",
        b"2026-12-09T18:33:19.000Z\t1235\tNo data\tnormal\t0\t",
        b"2026-12-09T18:40:02.500Z\t5120\tComment\t\t\tcrossing the cable route",
        b"2026-12-09T18:41:00.000Z\t5700\tMark\tF11\t\tstart of line 7",
        b"2026-12-09T18:42:00.000Z\t5800\tGPS\twarning\t2.4\tHDOP",
    ]
    write("fuzz_events_file", "watch-log", b"\n".join(lines) + b"\n")
    write("fuzz_events_file", "crlf", b"\r\n".join(lines[:2]) + b"\r\n\r\n")
    write("fuzz_events_file", "broken", b"yesterday\t1\tComment\t\t\ta\n" + lines[0][:30])


def decoder_seeds():
    streams = {
        "plain": b"$KVMGD,+01234\r\n",
        "break": b"$KVMGD\xff\x00\x00,+01234\r\n",
        "mark": b"\xff\xff\x01\xff\x00\x41\xff\x42",
        "split": b"\x03\x01\x02\x04" + b"\xff\x00\x00\xff\xff\xff",
    }
    for name, stream in streams.items():
        write("fuzz_break_decoder", name, stream if name == "split" else b"\x00" + stream)


def checksum(body):
    value = 0
    for ch in body.encode("ascii"):
        value ^= ch
    return "%02X" % value


def nmea(body):
    """A sentence with its checksum."""
    return "$%s*%s" % (body, checksum(body))


# One second of a receiver's output, then one with a bad fix, over midnight.
NMEA_EPOCHS = [
    [nmea("GPGGA,235959.00,4417.968000,N,06318.000000,W,2,12,0.7,3.0,M,-20.1,M,,"),
     nmea("GPRMC,235959.00,A,4417.968000,N,06318.000000,W,3.9,359.9,311226,,,D"),
     nmea("GPVTG,359.9,T,,M,3.9,N,7.2,K,D"), nmea("HEHDT,358.4,T"),
     nmea("GPZDA,235959.00,31,12,2026,00,00")],
    [nmea("GNGGA,000000.00,4417.970000,N,06318.000000,W,0,00,99.9,,,,,,"),
     nmea("GNRMC,000000.00,V,,,,,,,010127,,,N"), "$GPGGA,bad*00", "!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*26"],
]


def gps_seeds():
    stream = "".join(s + "\r\n" for epoch in NMEA_EPOCHS for s in epoch).encode("ascii")
    write("fuzz_nmea", "epochs", bytes([0, 200]) + stream)
    write("fuzz_nmea", "split", bytes([3, 5, 40, 90, 100]) + stream)
    write("fuzz_nmea", "noise", bytes([0, 100]) + b"\x00\xff$GPGGA," + b"9" * 100 + b"\n" + stream[:200])
    times = "".join("%d\t2026-12-31T23:59:%02d.%03dZ\t%d\r\n" % (i + 1, 50 + i // 10, (i % 10) * 100,
                                                                   1000000000 + i * 100000000)
                    for i in range(30)).encode("ascii")
    write("fuzz_gps_files", "times", bytes([0]) + times + b"0\tbroken\r\n")
    lines = []
    for i, epoch in enumerate(NMEA_EPOCHS):
        for s in epoch:
            ok = s[-3] == "*" and checksum(s[1:-3]) == s[-2:]
            lines.append("2026-12-31T23:59:5%d.000Z\t%s%s" % (8 + i, s, "" if ok else "\tbad checksum"))
    write("fuzz_gps_files", "nmea", bytes([1]) + "\r\n".join(lines).encode("ascii") + b"\r\n")
    write("fuzz_gps_files", "cable", bytes([2]) + b"2026-12-31T23:59:50.000Z\t50\r\n2027-01-01T00:10:00.000Z\t75.5\r\n")
    # Settings files are scrambled (core/SettingsLine.h): 40 filler bytes, the
    # value raised by 100, 50 filler bytes.
    def scrambled(values):
        return b"".join(bytes([150] * 40) + bytes((b + 100) % 256 for b in v.encode()) + bytes([150] * 50) + b"\r\n"
                        for v in values)
    write("fuzz_gps_files", "gps-port", bytes([3]) + scrambled(["10", "2", "/dev/ttyUSB1"]))
    write("fuzz_gps_files", "positioning", bytes([4]) + scrambled(["50", "5.5", "-1", "10", "1", "30"]))


def survey_lines_seeds():
    """Set-up byte (bits 0-1 line mode: auto, marks, none; bit 2 ties; bits
    3-5 the move scale, 0.25 m times a power of two), then records: flags
    (bit 0 a move follows, bit 1 a comment follows), the move (two signed
    bytes, east and north) and the comment (length byte, bytes)."""
    def move(east, north):
        return bytes([1, east & 0xFF, north & 0xFF])

    def comment(text, east=0, north=0):
        return bytes([3, east & 0xFF, north & 0xFF, len(text)]) + text

    auto_2m = 3 << 3
    north = b"".join(move(0, 10) for _ in range(100))
    write("fuzz_survey_lines", "straight", bytes([auto_2m]) + north)
    there = b"".join(move(0, 10) for _ in range(40))
    turn = b"".join(move(e, n) for e, n in [(5, 8), (9, 4), (9, -4), (5, -8)])
    back = b"".join(move(0, -10) for _ in range(40))
    write("fuzz_survey_lines", "turns", bytes([auto_2m | 4]) + there + turn + back + turn + there)
    marked = (comment(b"SOL L1", 0, 10) + there + comment(b"EOL", 0, 10) + turn
              + comment(b"sol: 2 ", 0, -10) + back + comment(b"Solent buoy"))
    write("fuzz_survey_lines", "marks", bytes([auto_2m]) + marked)
    write("fuzz_survey_lines", "marks-only", bytes([auto_2m | 1]) + there + marked)
    write("fuzz_survey_lines", "comments", bytes([auto_2m | 2]) + there
          + comment(b"caf\xe9 <&> \"x\"\r\n\x01") + comment(b"\xc3\xa6 ok"))


def live_session_seeds(generator):
    """Streams as an instrument sends them: garbage between records, a record
    cut short, one too long, one holding control bytes; the raw capture too."""
    variants = ["kvl", "zpx", "zpt", "rtb", "rtc"]  # the order of the variants table
    for index, kind in enumerate(variants):
        for source, text in zip(("sample", "generated"), next((s, m) for k, s, m in logs(generator) if k == kind)):
            if text is None:
                continue
            stream = b"noise" + head(text, 20).replace(b"\r\n", b"\n", 3) + lines_of(text)[0][:9]
            write("fuzz_live_session", f"{kind}-{source}", bytes([index, 7]) + stream)
    hostile = b"$KVMGD,+00003,4417.968,N,06318.000,W,54.5,76.6"
    write("fuzz_live_session", "too-long", bytes([0, 30]) + hostile + b"," + b"7" * 300 + b"\r\n" + hostile + b"\r\n")
    write("fuzz_live_session", "control-bytes", bytes([0, 3]) + hostile + b",\x00\xff\x1b[2J\r\n" + hostile + b"\r")
    write("fuzz_live_session", "raw-capture", bytes([5, 5]) + b"abc\r\n\x00\xff$KVMGD,+1\rxyz")


def live_gps_seeds():
    """A survey's two ports: records and the GPS's epochs in chunks, parts of
    a few records, a dropout, a bad checksum, noise on the GPS line."""
    def chunk(to_gps, later, data):
        pieces = b""
        while True:
            piece, data = data[:63], data[63:]
            pieces += bytes([(later << 1) | to_gps, len(piece)]) + piece
            if not data:
                return pieces
    def gga(second, north_minutes):
        return nmea(f"GPGGA,0800{second:02d}.00,44{north_minutes:09.6f},N,06318.000000,W,1,12,0.7,3.0,M,0.0,M,,").encode()
    records = [f"$KVMGD,{n % 200 - 100:+06d},4417.{n:03d},N,06318.000,W,54.5,76.6\r\n".encode() for n in range(1, 40)]
    stream = b""
    for second in range(12):
        if second not in (5, 6, 7):  # a dropout
            sentence = gga(second, 17.0 + second * 0.001)
            if second == 9:
                sentence = sentence[:-2] + b"00"
            stream += chunk(1, 10, sentence + b"\r\n")
        for tenth in range(3):
            stream += chunk(0, 14, records[(second * 3 + tenth) % len(records)])
    write("fuzz_live_gps", "survey", bytes([0, 4, 80, 1]) + stream)
    write("fuzz_live_gps", "noise", bytes([0, 2, 69, 0]) + chunk(1, 3, b"\x00$GP" + b"9" * 90 + b"\n!AI\r") + stream[:400])
    write("fuzz_live_gps", "raw-capture", bytes([5, 1, 9, 0]) + stream[:300])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--generator", default=str(ROOT / "tools" / "survey" / "gen_survey.py"),
                        help="the survey generator (left out when the file does not exist)")
    args = parser.parse_args()
    generator = pathlib.Path(args.generator)
    if not generator.is_file():
        generator = None
    if CORPUS.exists():
        shutil.rmtree(CORPUS)
    record_seeds(generator)
    kind_seeds(generator)
    document_seeds(generator)
    gps_seeds()
    pnav_seeds(generator)
    settings_seeds()
    decoder_seeds()
    events_seeds()
    survey_lines_seeds()
    live_session_seeds(generator)
    live_gps_seeds()


if __name__ == "__main__":
    main()
