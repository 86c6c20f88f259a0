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

# A person's year (2025, offset 0) as ics_writer's line "person STAMP" makes it: the first watch, the third from
# 1 July; a leave from 20.12.2025 to 10.01.2026 with sick days 24-26.12 inside it; the first duty of March
# given away, and the first day of August off their watch taken.
rota = lambda d: (d - dt.date(1899, 12, 30)).days % 4 + 1
year_days = [dt.date(2025, 1, 1) + dt.timedelta(n) for n in range(365)]
own = lambda d: 1 if d < dt.date(2025, 7, 1) else 3
given = next(d for d in year_days if d.month == 3 and rota(d) == 1)
taken = next(d for d in year_days if d.month == 8 and rota(d) != 3)
leave, sick = (dt.date(2025, 12, 20), dt.date(2026, 1, 10)), (dt.date(2025, 12, 24), dt.date(2025, 12, 26))
person = lambda stamp: subprocess.run(sys.argv[1:], input=f"person {stamp}\n".encode(), check=True,
                                      capture_output=True).stdout
raw = person("20261207T021500Z")
duties = [d for d in year_days if (rota(d) == own(d) and not leave[0] <= d <= leave[1] and d != given) or d == taken]
runs = [(leave[0], sick[0], "Отпуск (ОТ)"), (sick[0], sick[1] + dt.timedelta(1), "Больничный (Б)"),
        (sick[1] + dt.timedelta(1), leave[1] + dt.timedelta(1), "Отпуск (ОТ)")]
expected = {f"{d:%Y%m%d}-person7@sutograf": (d, d + dt.timedelta(1), ("Дежурство (подмена), " if d == taken
                                                                      else "Дежурство, ") + f"{rota(d)} караул")
            for d in duties}
expected |= {f"{a:%Y%m%d}-person7-absence@sutograf": (a, b, s) for a, b, s in runs}
seen = {}
for event in icalendar.Calendar.from_ical(raw).walk("VEVENT"):
    begin, end = event.decoded("DTSTART"), event.decoded("DTEND")
    timed = isinstance(begin, dt.datetime)
    assert timed == bool(event.walk("VALARM")), ("a duty reminded, an absence not", event)
    if timed:  # a whole 24-hour duty from 08:00, floating
        assert begin.time() == dt.time(8) and end - begin == dt.timedelta(hours=24), (begin, end)
        begin, end = begin.date(), end.date()
    seen[str(event["UID"])] = (begin, end, str(event["SUMMARY"]))
assert given not in {v[0] for v in seen.values()}, "the duty given away is left out"
assert seen == expected, sorted(set(seen.items()) ^ set(expected.items()))[:6]
uids = lambda text: sorted(line for line in text.split(b"\r\n") if line.startswith(b"UID:"))
assert uids(person("20270101T000000Z")) == uids(raw), "a second export keeps every UID"
