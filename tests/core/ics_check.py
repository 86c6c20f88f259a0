# Reads ics_writer's duty calendars with an independent parser, Debian's python3-icalendar.
# Usage: /usr/bin/python3 ics_check.py [LAUNCHER...] path/to/ics_writer
# (a launcher such as wine runs a writer built for Windows)
import datetime as dt
import subprocess
import sys

import icalendar

NONE, EVENING, HOUR = 0, 1, 2


def calendar(watch, year, offset, start, length, stamp="20261207T021500Z", reminder=NONE):
    # The stamp goes last, on standard input: a command line under Wine loses the Cyrillic in it.
    line = " ".join(map(str, (watch, year, offset, start, length, reminder, stamp))) + "\n"
    raw = subprocess.run(sys.argv[1:], input=line.encode(), check=True, capture_output=True).stdout
    assert raw.endswith(b"\r\n"), "the last line ends in CRLF"
    for line in raw[:-2].split(b"\r\n"):
        assert b"\n" not in line and b"\r" not in line and len(line) <= 75, line
        line.decode("utf-8")  # a character cut in two at a fold does not decode
    return raw


# watch, year, offset, start minute, counted minutes, reminder: a whole duty at 08:00; a 22-hour count,
# whose event still lasts the whole 24 hours; a duty starting at 23:00, reminded the evening before
# the day it starts (27 hours ahead); an hour ahead at 08:30.
for watch, year, offset, start, length, reminder in [(1, 2025, 0, 480, 1440, NONE), (2, 2026, 1, 480, 1320, EVENING),
                                                     (3, 2024, 2, 23 * 60, 90, EVENING), (4, 2025, 3, 510, 1440, HOUR)]:
    raw = calendar(watch, year, offset, start, length, reminder=reminder)
    assert f"SUMMARY:Дежурство\\, {watch} караул\r\n".encode() in raw, "the comma escaped"
    events = icalendar.Calendar.from_ical(raw).walk("VEVENT")
    # The rota: serial day 0 is 30.12.1899, the watch is ((serial mod 4) + offset) mod 4 + 1.
    days = [d for d in (dt.date(year, 1, 1) + dt.timedelta(n) for n in range(366))
            if d.year == year and ((d - dt.date(1899, 12, 30)).days % 4 + offset) % 4 + 1 == watch]
    assert len(events) == len(days), (len(events), len(days))
    for event, day in zip(events, days):
        # A naive datetime never equals an aware one: equality means a floating time.
        begin = dt.datetime.combine(day, dt.time()) + dt.timedelta(minutes=start)
        assert event.decoded("DTSTART") == begin, event.decoded("DTSTART")
        assert event.decoded("DTEND") == begin + dt.timedelta(hours=24), ("the whole duty", event.decoded("DTEND"))
        assert str(event["UID"]) == f"{day:%Y%m%d}-karaul{watch}@sutograf", event["UID"]
        alarms = event.walk("VALARM")
        assert len(alarms) == (reminder != NONE), alarms
        for alarm in alarms:
            assert str(alarm["ACTION"]) == "DISPLAY" and f"{begin:%H:%M}" in str(alarm["DESCRIPTION"]), alarm
            rings = begin + alarm.decoded("TRIGGER")
            expected = (dt.datetime.combine(day - dt.timedelta(1), dt.time(20)) if reminder == EVENING
                        else begin - dt.timedelta(hours=1))
            assert rings == expected, (day, rings)

stamp = "20261207T021500Z" + "штамп " * 30  # the 75th octet falls inside a letter
lines = icalendar.parser.Contentlines.from_ical(calendar(2, 2025, 0, 480, 1440, stamp).decode("utf-8"))
assert f"DTSTAMP:{stamp}" in lines, "the long stamp survives folding and unfolding"
