#!/usr/bin/env python3
"""Synthetic marine magnetometer survey logs, for tests and benchmarks.

Writes one survey log of a chosen kind (KV7100 log, data string or graphic
dump, ZEPH 2 in KV or BT format, RT4 basic or KV compatible, or a navigation
file) as the instrument or the memory download would have produced it: a
vessel at survey speed runs survey lines back and forth towing the fish
astern, the deviation wanders and crosses the odd anomaly, towfish and water
depth change smoothly.  A chosen fraction of the data lines carries one
realistic fault each.  Lines end with CR LF.  The same options give the same
file, byte for byte.  Standard library only; run with --help for the line
layouts and the faults.

    gen_survey.py --kind kvl --records 1000000 --bad-fraction 0.01 -o a.kvl
"""

import argparse
import math
import random
import sys

KINDS = ("kvl", "kvs", "kvg", "zpx", "zpt", "rtb", "rtc",
         "pnav-plus", "pnav-p")

# The line layout of each kind, as --help shows it.
KIND_HELP = {
    "kvl": """\
$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4      47 characters
deviation, lat DDMM.mmm, N/S, lon DDDMM.mmm, E/W, towfish depth,
sounder""",
    "kvs": """\
+00042,44 18.000N 063 18.000W,25.3,78.4
deviation, position text (lat deg 1-2, lat min 4-9, N/S 10,
lon deg 12-14, lon min 16-21, E/W 22), towfish depth, sounder;
laid out as the download's reformatting leaves it: two blank
lines, "No. of entries: N", a blank line, the heading
"Dev    lat        long", the records, and "** End of data set **"
with no line end after it""",
    "kvg": """\
fixed form (default): a 50-character bar graph of the deviation,
the deviation in characters 51-56 and the position laid out as in
kvs in characters 58-79; comma form (--form comma):
44,18.000N,063,18.000W,+00042
after the title "KV7100 Graphic Magnetometer", a blank line and
a heading line holding "Dev"; last line "** End of data set **\"""",
    "zpx": "$KVMGD,+00042,52341.2,087      25 characters (--form short: 13)",
    "zpt": "$BTGFG,+0004,52341.2,087       24 characters (--form short: 12)",
    "rtb": """\
$MGD,+00042,52341.2,087        23 characters
the columns after the deviation (total field, signal level) are
not read by the survey log reader""",
    "rtc": """\
$KVMGD,+00042,063,18.000,W,44,18.000,N,025.3,078.4   50 characters
deviation, lon deg, lon min, E/W, lat deg, lat min, N/S, towfish
depth, sounder; no recognition rule takes this layout by its
content, so such a file is opened with its kind given""",
    "pnav-plus": """\
navigation file: a title line, the header
"@t,@p:4,@>:2,@+,@0,@1,@2", then data lines such as
08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,
TF:44.2994600:-63.3000000,+00042,25.3,78.4   (one line)
time, GPS fix (lat DDMM.mmmm, N/S, lon DDDMM.mmmm, E/W), course
and speed, towfish position (label:lat:lon, signed decimal
degrees), channel 0 deviation, channel 1 towfish depth, channel
2 sounder""",
    "pnav-p": """\
as pnav-plus without the towfish position; header
"@t,@p:4,@>:2,@0,@1,@2\"""",
}

# What each fault does to a line, as --help shows it.
FAULT_HELP = {
    "wrong-header": "header sentence garbled",
    "missing-sign": "deviation sign lost, or turned into a blank",
    "degree-jump": "latitude or longitude degrees 2 to 5 away from the last\n"
                   "good line",
    "depth-jump": "towfish depth 5.5 to 20 m away from the last good line\n"
                  "(in a navigation file noticed when channel 1 is linked\n"
                  "to the towfish depth)",
    "garbled-minutes": "noise in a minutes field (towfish position; the GPS\n"
                       "fix in a navigation file)",
    "truncated": "line cut short before its last checked field is complete",
    "blank": "empty line (a document load skips it; not an error)",
}

FAULTS = {
    "kvl": ("wrong-header", "missing-sign", "degree-jump", "depth-jump",
            "garbled-minutes", "truncated", "blank"),
    "kvs": ("missing-sign", "degree-jump", "depth-jump", "garbled-minutes",
            "truncated", "blank"),
    "kvg": ("missing-sign", "degree-jump", "garbled-minutes", "truncated",
            "blank"),
    "zpx": ("wrong-header", "missing-sign", "truncated", "blank"),
    "zpt": ("wrong-header", "missing-sign", "truncated", "blank"),
    "rtb": ("wrong-header", "missing-sign", "truncated", "blank"),
    "rtc": ("wrong-header", "missing-sign", "degree-jump", "depth-jump",
            "garbled-minutes", "truncated", "blank"),
    "pnav-plus": ("missing-sign", "depth-jump", "garbled-minutes", "truncated",
                  "blank"),
    "pnav-p": ("missing-sign", "depth-jump", "garbled-minutes", "truncated",
               "blank"),
}

HEADERS = {"kvl": "$KVMGD", "zpx": "$KVMGD", "rtc": "$KVMGD",
           "zpt": "$BTGFG", "rtb": "$MGD"}

FORMS = {"kvg": ("fixed", "comma"), "zpx": ("long", "short"),
         "zpt": ("long", "short")}

KVS_HEADING = "Dev    lat        long"
END_LINE = "** End of data set **"
KVG_TITLE = "KV7100 Graphic Magnetometer"
KVG_COMMA_HEADING = "Lat,Min,Long,Min,Dev"
PNAV_TITLE = ("Navigation log - vessel GPS, towfish layback and auxiliary "
              "channels")
PNAV_HEADER = {"pnav-plus": "@t,@p:4,@>:2,@+,@0,@1,@2",
               "pnav-p": "@t,@p:4,@>:2,@0,@1,@2"}

GOOD_LEAD_IN = 10          # data lines at the start that are never faulty
GRAPH_WIDTH = 50           # characters of the KVG bar graph
GRAPH_FULL_SCALE = 1000    # deviation at either end of the bar graph
KNOT = 1852.0 / 3600.0     # metres per second
WGS84_A = 6378137.0
WGS84_E2 = 0.00669437999014

# Noise characters for garbled fields: none of them is a digit, a sign, a
# blank, a point, a comma or a hexadecimal marker, so a garbled number never
# reads as a number.
NOISE = "?*~;!&%@O=^"


# --------------------------------------------------------------------------
# Vessel track
# --------------------------------------------------------------------------

class Track:
    """Survey lines run back and forth, joined by half-circle turns.

    Positions are given by the distance s run along the track, in a local
    frame: u along the survey lines, v across them (in metres), and the
    direction of travel as an angle from +u towards +v.  Before the start
    (s < 0) the first line is extended backwards.
    """

    def __init__(self, line_length, spacing):
        self.length = line_length
        self.radius = spacing / 2.0
        self.spacing = spacing
        self.cycle = line_length + math.pi * self.radius

    def at(self, s):
        if s < 0.0:
            return s, 0.0, 0.0
        k, d = divmod(s, self.cycle)
        k = int(k)
        v0 = k * self.spacing
        odd = k & 1
        if d <= self.length:
            return (self.length - d, v0, math.pi) if odd else (d, v0, 0.0)
        a = (d - self.length) / self.radius
        r = self.radius
        v = v0 + r - r * math.cos(a)
        if odd:
            return -r * math.sin(a), v, math.pi - a
        return self.length + r * math.sin(a), v, a


class LocalFrame:
    """Local east/north metres around a start point to latitude/longitude."""

    def __init__(self, lat0, lon0):
        self.lat0 = lat0
        self.lon0 = lon0
        sin0 = math.sin(math.radians(lat0))
        w = 1.0 - WGS84_E2 * sin0 * sin0
        self.m_radius = WGS84_A * (1.0 - WGS84_E2) / (w * math.sqrt(w))
        self.n_radius = WGS84_A / math.sqrt(w)

    def latlon(self, east, north):
        lat = self.lat0 + math.degrees(north / self.m_radius)
        coslat = max(math.cos(math.radians(lat)), 1e-6)
        lon = self.lon0 + math.degrees(east / (self.n_radius * coslat))
        lon = (lon + 180.0) % 360.0 - 180.0
        return lat, lon


def seabed(east, north):
    """Water depth in metres, smooth, between about 40 and 90."""
    return (65.0
            + 18.0 * math.sin(east / 3100.0 + 0.7) * math.cos(north / 4300.0)
            + 6.0 * math.sin(north / 900.0 + east / 1300.0))


# --------------------------------------------------------------------------
# Field texts
# --------------------------------------------------------------------------

def deg_min(value, deg_digits, min_decimals):
    """Degrees and decimal minutes texts of an unsigned angle."""
    scale = 10 ** min_decimals
    units = int(abs(value) * 60 * scale + 0.5)
    deg, rest = divmod(units, 60 * scale)
    whole, frac = divmod(rest, scale)
    return ("%0*d" % (deg_digits, deg),
            "%02d.%0*d" % (whole, min_decimals, frac))


def clock(seconds):
    cs = int(seconds * 100.0 + 0.5)
    h, cs = divmod(cs, 360000)
    m, cs = divmod(cs, 6000)
    return "%02d:%02d:%02d.%02d" % (h % 24, m, cs // 100, cs % 100)


def bar_graph(dev):
    cells = [" "] * GRAPH_WIDTH
    mid = GRAPH_WIDTH // 2
    cells[mid] = "|"
    pos = mid + int(round(dev * mid / GRAPH_FULL_SCALE))
    if pos < 0:
        cells[0] = "<"
    elif pos >= GRAPH_WIDTH:
        cells[-1] = ">"
    else:
        cells[pos] = "*"
    return "".join(cells)


def graph_heading():
    cells = [" "] * GRAPH_WIDTH
    left, right = "-%d" % GRAPH_FULL_SCALE, "+%d" % GRAPH_FULL_SCALE
    cells[:len(left)] = left
    cells[GRAPH_WIDTH // 2] = "0"
    cells[GRAPH_WIDTH - len(right):] = right
    return "".join(cells) + KVS_HEADING


# --------------------------------------------------------------------------
# Line assembly, one function per layout.  Each returns the line and the
# length of the longest prefix that is still certain to be rejected when the
# line is cut there (used by the "truncated" fault).
# --------------------------------------------------------------------------

def line_kvl(f):
    head = "%s,%s,%s%s,%s,%s%s," % (f["hdr"], f["dev"], f["latd"], f["latm"],
                                    f["lath"], f["lond"], f["lonm"])
    return head + "%s,%s,%s" % (f["lonh"], f["depth"], f["snd"]), len(head)


def line_kvs(f):
    pos = "%s %s%s %s %s" % (f["latd"], f["latm"], f["lath"], f["lond"],
                             f["lonm"])
    head = f["dev"] + "," + pos
    return head + "%s,%s,%s" % (f["lonh"], f["depth"], f["snd"]), len(head)


def line_kvg_fixed(f):
    head = "%s%s %s %s%s %s %s" % (f["graph"], f["dev"], f["latd"], f["latm"],
                                   f["lath"], f["lond"], f["lonm"])
    return head + f["lonh"], len(head)


def line_kvg_comma(f):
    line = "%s,%s%s,%s,%s%s,%s" % (f["latd"], f["latm"], f["lath"], f["lond"],
                                   f["lonm"], f["lonh"], f["dev"])
    return line, len(line) - 1


def line_short(f):
    line = f["hdr"] + "," + f["dev"]
    return line, len(line) - 1


def line_long(f):
    head = f["hdr"] + "," + f["dev"]
    return head + "," + f["total"] + "," + f["signal"], len(head) - 1


def line_rtc(f):
    head = "%s,%s,%s,%s,%s,%s,%s," % (f["hdr"], f["dev"], f["lond"], f["lonm"],
                                      f["lonh"], f["latd"], f["latm"])
    return head + "%s,%s,%s" % (f["lath"], f["depth"], f["snd"]), len(head)


def line_pnav(f):
    head = "%s,%s,%s,%s,%s,%s,%s," % (f["time"], f["glat"], f["glath"],
                                      f["glon"], f["glonh"], f["course"],
                                      f["speed"])
    if "tfpos" in f:
        head += f["tfpos"] + ","
    head += f["dev"]
    return head + "," + f["depth"] + "," + f["snd"], len(head) - 1


def layout_for(kind, form):
    if kind == "kvl":
        return line_kvl
    if kind == "kvs":
        return line_kvs
    if kind == "kvg":
        return line_kvg_comma if form == "comma" else line_kvg_fixed
    if kind in ("zpx", "zpt"):
        return line_short if form == "short" else line_long
    if kind == "rtb":
        return line_long
    if kind == "rtc":
        return line_rtc
    return line_pnav


# --------------------------------------------------------------------------
# Faults
# --------------------------------------------------------------------------

def garble(rng, text, positions):
    chars = list(text)
    for p in positions:
        chars[p] = rng.choice(NOISE)
    return "".join(chars)


def garble_minutes(rng, text, may_change_length):
    """Minutes text "MM.mmm" garbled so that the minutes check rejects it:
    noise in both the whole and the decimal part, the point lost to noise,
    or (where the line may change length) a digit dropped."""
    frac = range(3, len(text))
    mode = rng.randrange(3 if may_change_length else 2)
    if mode == 0:                                 # noise in both parts
        return garble(rng, text, (rng.randrange(2), rng.choice(frac)))
    if mode == 1:                                 # point lost to noise
        return text[:2] + rng.choice(NOISE + "0") + text[3:]
    cut = rng.choice(frac)                        # a digit dropped
    return text[:cut] + text[cut + 1:]


def garble_nmea(rng, text):
    """NMEA "DDMM.mmmm" or "DDDMM.mmmm": noise in one minutes digit."""
    point = text.index(".")
    digits = [point - 2, point - 1] + list(range(point + 1, len(text)))
    return garble(rng, text, (rng.choice(digits),))


def wrong_header(rng, hdr):
    while True:
        mode = rng.randrange(4)
        if mode == 0:
            bad = hdr.lower()
        elif mode == 1:
            bad = hdr[1:]
        elif mode == 2:
            i = rng.randrange(1, len(hdr))
            letter = rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ")
            bad = hdr[:i] + letter + hdr[i + 1:]
        else:
            bad = rng.choice(NOISE) + hdr
        if bad != hdr:
            return bad


def jump_degrees(rng, text, last_good, top):
    """Degrees 2 to 5 away from `text`, and at least 2 from the degrees of
    the last good line, whatever the validation remembered in between."""
    d, g = int(text), int(last_good)
    options = [x for x in range(d - 5, d + 6)
               if 0 <= x <= top and abs(x - d) >= 2 and abs(x - g) >= 2]
    return "%0*d" % (len(text), rng.choice(options))


def record_after_noise(line, header):
    """Where a good record starts inside a faulty line, 0 for none: a
    wrong header that is noise before the header sentence leaves the good
    record after it, which a live logger (cutting records at the header)
    takes."""
    at = line.find(header) if header else -1
    return at if at > 0 else 0


def make_fault(rng, name, kind, form, f, layout, last_good, depth_fmt):
    """The faulty line for fault `name`, built from the good fields `f`;
    `last_good` holds the fields of the last good line."""
    f = dict(f)
    if name == "blank":
        return ""
    if name == "wrong-header":
        f["hdr"] = wrong_header(rng, f["hdr"])
    elif name == "missing-sign":
        fixed_columns = kind == "kvg" and form == "fixed"
        if fixed_columns or rng.random() < 0.5:
            f["dev"] = " " + f["dev"][1:]
        else:
            f["dev"] = f["dev"][1:]
    elif name == "degree-jump":
        if rng.random() < 0.5:
            f["latd"] = jump_degrees(rng, f["latd"], last_good["latd"], 89)
        else:
            f["lond"] = jump_degrees(rng, f["lond"], last_good["lond"], 180)
    elif name == "depth-jump":
        step = rng.uniform(5.5, 20.0)
        last_depth = float(last_good["depth"])
        deeper = last_depth - step < 1.0 or (last_depth + step < 99.0
                                             and rng.random() < 0.5)
        f["depth"] = depth_fmt % (last_depth + step if deeper
                                  else last_depth - step)
    elif name == "garbled-minutes":
        lat = rng.random() < 0.5
        if kind.startswith("pnav"):
            key = "glat" if lat else "glon"
            f[key] = garble_nmea(rng, f[key])
        else:
            key = "latm" if lat else "lonm"
            f[key] = garble_minutes(rng, f[key], kind in ("kvl", "rtc"))
    elif name == "truncated":
        line, keep = layout(f)
        return line[:rng.randint(1, keep)]
    return layout(f)[0]


# --------------------------------------------------------------------------
# Generation
# --------------------------------------------------------------------------

def preamble(kind, form, data_lines):
    if kind == "kvs":
        # What the download's reformatting makes of the instrument's
        # "No. of entries" and heading lines.
        return ["", "", "No. of entries: %d" % data_lines, "", KVS_HEADING]
    if kind == "kvg":
        return [KVG_TITLE, "",
                KVG_COMMA_HEADING if form == "comma" else graph_heading()]
    if kind.startswith("pnav"):
        return [PNAV_TITLE, PNAV_HEADER[kind]]
    return []


def generate(opts, out, truth=None, stop_at=None):
    """Writes the log; returns the preamble's line count, the faulty lines
    and the data lines written.  `truth` (a LineTruth) is told each data
    line's survey line; with `stop_at`, the log ends before the first record
    whose towfish has run past that distance along the track."""
    kind, form = opts.kind, opts.form
    rng = random.Random(opts.seed)
    fault_rng = random.Random(opts.seed * 1000003 + 7)
    n = opts.records
    layout = layout_for(kind, form)
    header = HEADERS.get(kind, "")
    dev_digits = 4 if kind == "zpt" else 5
    dev_limit = 10 ** dev_digits - 1
    dev_fmt = "%+0" + str(dev_digits + 1) + "d"
    dev_scale = 0.1 if kind == "zpt" else 1.0
    # Fixed widths where the line length matters: 47 characters for kvl, and
    # 50 for rtc, a length that no recognition rule takes for another kind.
    depth_fmt = {"kvl": "%04.1f", "rtc": "%05.1f"}.get(kind, "%.1f")
    pnav = kind.startswith("pnav")
    needs_position = kind in ("kvl", "kvs", "kvg", "rtc") or pnav
    needs_depth = kind in ("kvl", "kvs", "rtc") or pnav    # navigation too
    extras = kind in ("rtb", "zpx", "zpt") and form != "short"

    # Fault positions, drawn from their own generator so that the track does
    # not depend on the fault fraction.
    candidates = range(GOOD_LEAD_IN, max(GOOD_LEAD_IN, n))
    n_bad = min(len(candidates), int(round(opts.bad_fraction * n)))
    bad_at = {}
    for i in sorted(fault_rng.sample(candidates, n_bad)):
        bad_at[i] = fault_rng.choice(opts.faults)

    track = Track(opts.line_length, opts.line_spacing)
    frame = LocalFrame(opts.start_lat, opts.start_lon)
    heading = math.radians(opts.line_heading)
    sin_h, cos_h = math.sin(heading), math.cos(heading)
    step = opts.speed * KNOT / opts.rate
    alpha = min(1.0, step / 150.0)          # cross-track wander, per record
    wander_kick = 2.0 * math.sqrt(2.0 * alpha)
    speed_alpha = min(1.0, step / 500.0)
    speed_kick = 0.03 * math.sqrt(2.0 * speed_alpha)

    s = 0.0
    wander = 0.0
    speed_var = 0.0
    background = 0.0                         # slowly wandering deviation
    anomalies = []                           # [centre s, amplitude, width m]
    anomaly_p = step / 400.0                 # about one anomaly per 400 m
    depth = None
    last_good = None
    t0 = opts.start_seconds

    head = preamble(kind, form, n)
    out.write(("\r\n".join(head) + "\r\n").encode("ascii") if head else b"")

    faults_seen = []
    chunk = []
    lines_before = len(head)
    for i in range(n):
        # -- motion --------------------------------------------------------
        if i:
            speed_var += (-speed_alpha * speed_var
                          + speed_kick * rng.gauss(0.0, 1.0))
            s += step * (1.0 + speed_var)
        if stop_at is not None and s - opts.layback > stop_at:
            n = i
            break
        wander += -alpha * wander + wander_kick * rng.gauss(0.0, 1.0)

        # -- deviation -----------------------------------------------------
        background += -0.002 * background + 9.0 * rng.gauss(0.0, 1.0)
        if rng.random() < anomaly_p:
            amp = math.exp(rng.uniform(math.log(300.0), math.log(30000.0)))
            width = rng.uniform(5.0, 40.0)
            if rng.random() >= 0.5:
                amp = -amp
            anomalies.append([s + 3.0 * width, amp, width])
        field = background
        if anomalies:
            keep = []
            for a in anomalies:
                x = (s - a[0]) / a[2]
                if x < 4.0:
                    keep.append(a)
                    field += a[1] * (math.exp(-x * x)
                                     - 0.45 * math.exp(-(x - 1.4) * (x - 1.4)))
            anomalies = keep
        dev = max(-dev_limit, min(dev_limit, int(round(field * dev_scale))))
        f = {"dev": dev_fmt % dev}
        if header:
            f["hdr"] = header

        # -- towfish position ----------------------------------------------
        if needs_position:
            u, v, _ = track.at(s - opts.layback)
            v += wander
            east, north = u * sin_h + v * cos_h, u * cos_h - v * sin_h
            lat, lon = frame.latlon(east, north)
            f["latd"], f["latm"] = deg_min(lat, 2, 3)
            f["lath"] = "N" if lat >= 0.0 else "S"
            f["lond"], f["lonm"] = deg_min(lon, 3, 3)
            f["lonh"] = "E" if lon >= 0.0 else "W"
            if kind == "kvg" and form == "fixed":
                f["graph"] = bar_graph(dev)

        # -- vessel position, depths, navigation ---------------------------
        if needs_depth:
            u, v, theta = track.at(s)
            v += wander
            east, north = u * sin_h + v * cos_h, u * cos_h - v * sin_h
            water = seabed(east, north)
            target = min(60.0, max(6.0, water - 22.0))
            if depth is None:
                depth = target
            depth += 0.02 * (target - depth)
            shown = max(2.0, depth + rng.gauss(0.0, 0.05))
            f["depth"] = depth_fmt % shown
            f["snd"] = depth_fmt % min(99.9, water + rng.gauss(0.0, 0.1))
        if pnav:
            glat, glon = frame.latlon(east, north)
            f["time"] = clock(t0 + i / opts.rate)
            f["glat"] = "".join(deg_min(glat, 2, 4))
            f["glath"] = "N" if glat >= 0.0 else "S"
            f["glon"] = "".join(deg_min(glon, 3, 4))
            f["glonh"] = "E" if glon >= 0.0 else "W"
            f["course"] = "%05.1f" % (math.degrees(heading + theta) % 360.0)
            f["speed"] = "%.1f" % (opts.speed * (1.0 + speed_var))
            if kind == "pnav-plus":
                f["tfpos"] = "TF:%.7f:%.7f" % (lat, lon)
        if extras:
            f["total"] = "%07.1f" % (52341.2 + 0.01 * field)
            f["signal"] = "%03d" % rng.randint(70, 99)

        # -- the line ------------------------------------------------------
        fault = bad_at.get(i)
        if fault is None:
            line = layout(f)[0]
            last_good = f
        else:
            line = make_fault(fault_rng, fault, kind, form, f, layout,
                              last_good, depth_fmt)
            faults_seen.append((lines_before + i + 1, fault,
                                record_after_noise(line, header)))
        if truth is not None:
            truth.add(lines_before + i + 1,
                      survey_line_at(track, s - opts.layback), fault is None)
        chunk.append(line)
        if len(chunk) >= 20000:
            out.write(("\r\n".join(chunk) + "\r\n").encode("ascii"))
            chunk = []
    if chunk:
        out.write(("\r\n".join(chunk) + "\r\n").encode("ascii"))
    if kind == "kvs":
        out.write(END_LINE.encode("ascii"))
    elif kind == "kvg":
        out.write((END_LINE + "\r\n").encode("ascii"))
    return len(head), faults_seen, n


# --------------------------------------------------------------------------
# Survey lines: which record lies on which line, and the operator's marks
# --------------------------------------------------------------------------

def survey_line_at(track, s):
    """The survey line (1, 2, ...) the track is on at distance s, or 0 in a
    turn.  Before the start the first line is extended backwards, so that
    stretch belongs to line 1."""
    if s < 0.0:
        return 1
    k, d = divmod(s, track.cycle)
    return int(k) + 1 if d <= track.length else 0


def line_end_distance(opts, lines):
    """Distance along the track at which survey line `lines` ends."""
    track = Track(opts.line_length, opts.line_spacing)
    return (lines - 1) * track.cycle + track.length


class LineTruth:
    """Collects each data line's survey line; writes the truth list and the
    comments file of the operator's SOL/EOL marks."""

    def __init__(self):
        self.rows = []       # (file line, survey line, is a record)

    def add(self, line_no, survey_line, good):
        self.rows.append((line_no, survey_line, good))

    def write_truth(self, path):
        with open(path, "w", newline="") as out:
            out.write("line,survey_line\n")
            for line_no, survey_line, _ in self.rows:
                out.write("%d,%d\n" % (line_no, survey_line))

    def marks(self, marked):
        """{grid row: comment}: "SOL L<n>" on the first record of each marked
        line, "EOL" on its last.  Grid rows count the records only."""
        first, last = {}, {}
        row = 0
        for _, survey_line, good in self.rows:
            if not good:
                continue
            row += 1
            if survey_line and (marked is None or survey_line in marked):
                first.setdefault(survey_line, row)
                last[survey_line] = row
        comments = {}
        for survey_line, row in first.items():
            comments[row] = "SOL L%d" % survey_line
            comments[last[survey_line]] = "EOL"
        return comments

    def write_marks(self, path, marked):
        comments = self.marks(marked)
        with open(path, "wb") as out:
            for row in sorted(comments):
                out.write(("%d=%s\r\n" % (row, comments[row])).encode("ascii"))


class NullOut:
    def write(self, data):
        pass


def records_for_lines(opts):
    """Data lines that take the towfish to the end of survey line
    opts.lines: a dry run of the same track, without faults."""
    dry = argparse.Namespace(**vars(opts))
    dry.records = 10 ** 12
    dry.bad_fraction = 0.0
    return generate(dry, NullOut(), stop_at=line_end_distance(opts, opts.lines))[2]


# --------------------------------------------------------------------------
# Command line
# --------------------------------------------------------------------------

def indented(text, first, rest):
    lines = text.split("\n")
    return "\n".join([first + lines[0]] + [rest + line for line in lines[1:]])


def kinds_with(fault):
    return [k for k in KINDS if fault in FAULTS[k]]


def layouts():
    """The kinds, their forms and their faults, for --help."""
    out = ["line layouts of the data records (valid lines):"]
    for kind in KINDS:
        out.append(indented(KIND_HELP[kind], "  %-10s " % kind, " " * 13))
    out.append("""
faults (--bad-fraction F): round(F * N) data lines, drawn at random but never
among the first ten, are replaced by a line with one fault, picked evenly
among those the kind's validation notices (--faults narrows the choice):""")
    for fault, text in FAULT_HELP.items():
        out.append(indented(text + "\nkinds: " + " ".join(kinds_with(fault)),
                            "  %-16s " % fault, " " * 19))
    out.append("""\
Every faulty line but a blank one is rejected by the line validation, and the
lines after it are good again.  --faults-out lists them with their 1-based
line numbers.  The good lines do not depend on --bad-fraction or --faults.
A wrong header that is noise put before the header sentence leaves a good
record after the noise: read live, where records are cut at the header, it
is taken; the list's third column gives where it starts in the line
(0-based; empty for every other faulty line).

listings, for scripts and tests:
  --list-kinds              one line per layout: the kind, and its form where
                            the kind has several
  --list-faults             one line per fault: the fault and the kinds it
                            applies to
  --kind K --list-faults    the faults of kind K, one a line

example:
  gen_survey.py --kind kvs --records 1000000 --bad-fraction 0.01 --seed 7 \\
      -o survey.kvs --faults-out survey-faults.csv""")
    return "\n".join(out) + "\n"


def list_kinds():
    for kind in KINDS:
        for form in FORMS.get(kind, (None,)):
            print(kind if form is None else "%s %s" % (kind, form))


def list_faults(kind):
    if kind:
        for fault in FAULTS[kind]:
            print(fault)
        return
    for fault in FAULT_HELP:
        print(" ".join([fault] + kinds_with(fault)))


def parse_fault_list(text):
    return tuple(name for name in text.split(",") if name)


def parse_line_list(text):
    try:
        return frozenset(int(n) for n in text.split(",") if n)
    except ValueError:
        raise argparse.ArgumentTypeError("expected line numbers such as "
                                         "1,3,5, got %r" % text)

def parse_clock(text):
    parts = text.split(":")
    if len(parts) != 3:
        raise argparse.ArgumentTypeError("expected HH:MM:SS, got %r" % text)
    h, m, s = int(parts[0]), int(parts[1]), float(parts[2])
    return h * 3600 + m * 60 + s


def parse_args(argv):
    p = argparse.ArgumentParser(
        prog="gen_survey.py",
        formatter_class=argparse.RawDescriptionHelpFormatter,
        description="Write a synthetic marine magnetometer survey log; the "
                    "same options give the same file.",
        epilog=layouts())
    p.add_argument("--kind", choices=KINDS,
                   help="log kind to write (required unless listing)")
    p.add_argument("--list-kinds", action="store_true",
                   help="print the kinds and their forms, one a line, and stop")
    p.add_argument("--list-faults", action="store_true",
                   help="print every fault with the kinds it applies to "
                        "(with --kind, that kind's faults), one a line, and "
                        "stop")
    p.add_argument("--records", type=int, default=1000, metavar="N",
                   help="data lines to write, faulty ones included "
                        "(default 1000)")
    p.add_argument("--seed", type=int, default=1, metavar="S",
                   help="random seed (default 1)")
    p.add_argument("--bad-fraction", type=float, default=0.0, metavar="F",
                   help="fraction of data lines replaced by faulty lines, "
                        "0 to 1 (default 0)")
    p.add_argument("--faults", type=parse_fault_list, metavar="NAME,...",
                   help="draw the faulty lines' faults only from these "
                        "(default: every fault of the kind)")
    p.add_argument("-o", "--output", default="-", metavar="FILE",
                   help="output file, '-' for standard output (default)")
    p.add_argument("--form", choices=("fixed", "comma", "long", "short"),
                   help="kvg: fixed (default) or comma; "
                        "zpx/zpt: long (default) or short")
    p.add_argument("--start-lat", type=float, default=44.30, metavar="DEG",
                   help="latitude of the first vessel position, signed "
                        "decimal degrees, north positive (default 44.30)")
    p.add_argument("--start-lon", type=float, default=-63.30, metavar="DEG",
                   help="longitude of the first vessel position, east "
                        "positive (default -63.30)")
    p.add_argument("--speed", type=float, default=4.5, metavar="KNOTS",
                   help="survey speed (default 4.5)")
    p.add_argument("--rate", type=float, default=1.0, metavar="HZ",
                   help="records per second (default 1)")
    p.add_argument("--line-length", type=float, default=2000.0, metavar="M",
                   help="length of a survey line in metres (default 2000)")
    p.add_argument("--line-spacing", type=float, default=25.0, metavar="M",
                   help="distance between survey lines (default 25)")
    p.add_argument("--line-heading", type=float, default=0.0, metavar="DEG",
                   help="direction of the survey lines, degrees from north "
                        "(default 0: lines run north and south, the survey "
                        "steps east)")
    p.add_argument("--layback", type=float, default=60.0, metavar="M",
                   help="towfish distance astern of the GPS antenna, along "
                        "the track (default 60)")
    p.add_argument("--start-time", type=parse_clock, default="08:00:00",
                   dest="start_seconds", metavar="HH:MM:SS",
                   help="time of the first record of a navigation file "
                        "(default 08:00:00)")
    p.add_argument("--faults-out", metavar="FILE",
                   help="also write a CSV list 'line,fault,record-at' of "
                        "the faulty lines (1-based line numbers of the output "
                        "file; record-at: where a good record starts after "
                        "noise, else empty)")
    p.add_argument("--lines", type=int, metavar="N",
                   help="write as many records as take the towfish to the "
                        "end of survey line N (instead of --records)")
    p.add_argument("--truth-out", metavar="FILE",
                   help="also write a CSV list 'line,survey_line': each data "
                        "line's 1-based line number and the survey line its "
                        "towfish is on (0 in a turn)")
    p.add_argument("--marks-out", metavar="FILE",
                   help="also write the comments file of an operator who "
                        "marked the lines: 'SOL L<n>' on the first record of "
                        "each survey line, 'EOL' on its last (rows counting "
                        "records only)")
    p.add_argument("--mark-lines", type=parse_line_list, metavar="N,...",
                   help="with --marks-out, mark only these survey lines "
                        "(default: every line)")
    p.add_argument("-v", "--verbose", action="store_true",
                   help="print a summary on standard error")
    opts = p.parse_args(argv)

    if opts.list_kinds or opts.list_faults:
        return opts
    if opts.kind is None:
        p.error("the following arguments are required: --kind")
    if opts.faults is None:
        opts.faults = FAULTS[opts.kind]
    unknown = [f for f in opts.faults if f not in FAULTS[opts.kind]]
    if unknown or not opts.faults:
        p.error("--faults takes one or more of %s for --kind %s"
                % (",".join(FAULTS[opts.kind]), opts.kind))
    if opts.records < 0:
        p.error("--records must not be negative")
    if not 0.0 <= opts.bad_fraction <= 1.0:
        p.error("--bad-fraction must lie between 0 and 1")
    if not -84.0 <= opts.start_lat <= 84.0:
        p.error("--start-lat must lie between -84 and 84")
    if not -180.0 <= opts.start_lon <= 180.0:
        p.error("--start-lon must lie between -180 and 180")
    for name in ("speed", "rate", "line_length", "line_spacing"):
        if getattr(opts, name) <= 0.0:
            p.error("--%s must be positive" % name.replace("_", "-"))
    if opts.layback < 0.0:
        p.error("--layback must not be negative")
    if opts.lines is not None and opts.lines < 1:
        p.error("--lines must be at least 1")
    if opts.form is None:
        opts.form = FORMS.get(opts.kind, (None,))[0]
    elif opts.form not in FORMS.get(opts.kind, ()):
        p.error("--form %s does not apply to --kind %s"
                % (opts.form, opts.kind))
    return opts


def main(argv=None):
    opts = parse_args(sys.argv[1:] if argv is None else argv)
    if opts.list_kinds:
        list_kinds()
        return 0
    if opts.list_faults:
        list_faults(opts.kind)
        return 0
    if opts.lines is not None:
        opts.records = records_for_lines(opts)
    truth = LineTruth() if opts.truth_out or opts.marks_out else None
    if opts.output == "-":
        head, faults, _ = generate(opts, sys.stdout.buffer, truth)
        sys.stdout.buffer.flush()
    else:
        with open(opts.output, "wb", buffering=1 << 20) as out:
            head, faults, _ = generate(opts, out, truth)
    if opts.truth_out:
        truth.write_truth(opts.truth_out)
    if opts.marks_out:
        truth.write_marks(opts.marks_out, opts.mark_lines)
    if opts.faults_out:
        with open(opts.faults_out, "w", newline="") as fo:
            fo.write("line,fault,record-at\n")
            for line_no, name, record_at in faults:
                fo.write("%d,%s,%s\n" % (line_no, name,
                                         record_at if record_at else ""))
    if opts.verbose:
        counts = {}
        for _, name, _ in faults:
            counts[name] = counts.get(name, 0) + 1
        detail = ", ".join("%s %d" % kv for kv in sorted(counts.items()))
        sys.stderr.write("%s: %d data lines (first on line %d), %d faulty%s\n"
                         % (opts.kind, opts.records, head + 1, len(faults),
                            " (" + detail + ")" if detail else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
