#!/usr/bin/env python3
"""The GPS half of bench/live_soak.sh --gps: what a session logged beside its
parts against what the simulator's GPS sent.

    live_soak_gps_check.py GPS_SENT PART...

GPS_SENT is tessaly-sim's --gps-sent report ("S|V|C SENTENCE" a line, "D MS"
a dropout). Each PART has PART.nmea ("UTC<TAB>SENTENCE[<TAB>MARK]" CR LF) and
PART.times ("ROW<TAB>UTC<TAB>NS" a record). Each part after the first begins
with the sentences of the seconds before it, again: lines that end the part
before it, times included. Beyond those, the parts' sentences, in part
order, must be those sent, in order, once each; exactly those sent with a
wrong checksum (C) marked "bad checksum"; the UTC times of reception never
going back. Each part's times: one per line of the part, rows 1 to N, UTC
and monotonic times never going back. Prints the counts; exit status 0 when
everything agrees.
"""
import re
import sys

UTC = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$")


def sent_sentences(path):
    sent = []
    for line in open(path, encoding="ascii").read().splitlines():
        tag, _, text = line.partition(" ")
        if tag in ("S", "V", "C"):
            sent.append((text, tag == "C"))
    return sent


def logged_sentences(part, errors):
    logged = []
    previous = ""
    data = open(part + ".nmea", "rb").read().decode("ascii")
    if data and not data.endswith("\r\n"):
        errors.append(f"{part}.nmea: the last line is not ended")
    for number, line in enumerate(data.split("\r\n")[:-1], 1):
        fields = line.split("\t")
        if len(fields) not in (2, 3) or not UTC.match(fields[0]):
            errors.append(f"{part}.nmea line {number}: not a time and a sentence: {line!r}")
            continue
        if fields[0] < previous:
            errors.append(f"{part}.nmea line {number}: time goes back")
        previous = fields[0]
        mark = fields[2] if len(fields) == 3 else ""
        if mark not in ("", "bad checksum"):
            errors.append(f"{part}.nmea line {number}: mark {mark!r}")
        logged.append((fields[0], fields[1], mark == "bad checksum"))
    return logged


def lead_in(lines, previous):
    """How many of a part's first lines repeat the last lines of the part
    before it."""
    for count in range(min(len(lines), len(previous)), 0, -1):
        if lines[:count] == previous[-count:]:
            return count
    return 0


def check_times(part, errors):
    records = open(part, "rb").read().split(b"\n")
    records = [r for r in records if r.strip()]
    lines = open(part + ".times", "rb").read().decode("ascii").splitlines()
    if len(lines) != len(records):
        errors.append(f"{part}: {len(records)} lines but {len(lines)} times")
    last_utc, last_ns = "", -1
    for expected_row, line in enumerate(lines, 1):
        fields = line.split("\t")
        if len(fields) != 3 or fields[0] != str(expected_row) or not UTC.match(fields[1]) or not fields[2].isdigit():
            errors.append(f"{part}.times line {expected_row}: {line!r}")
            return len(lines)
        if fields[1] < last_utc or int(fields[2]) < last_ns:
            errors.append(f"{part}.times line {expected_row}: time goes back")
        last_utc, last_ns = fields[1], int(fields[2])
    return len(lines)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sent = sent_sentences(sys.argv[1])
    errors = []
    logged = []
    repeated = []
    previous = []
    times = 0
    for part in sys.argv[2:]:
        lines = logged_sentences(part, errors)
        if previous:
            repeated.append(lead_in(lines, previous))
        logged += [(sentence, marked) for _, sentence, marked in lines[repeated[-1] if previous else 0:]]
        previous = lines
        times += check_times(part, errors)
    if logged != sent:
        first = next((i for i, (a, b) in enumerate(zip(logged, sent)) if a != b), min(len(logged), len(sent)))
        errors.append(f"sentences differ from number {first + 1}: {len(sent)} sent, {len(logged)} logged")
    bad = sum(1 for _, marked in sent if marked)
    print(f"gps: {len(sent)} sentences sent ({bad} with a wrong checksum), {len(logged)} logged;"
          f" {times} reception times; parts begun with {repeated} sentences of the part before")
    for error in errors[:20]:
        print(error, file=sys.stderr)
    sys.exit(1 if errors else 0)


main()
