#!/usr/bin/env python3
"""What the calendar grid must show and do, computed with Python's calendar and datetime.

Commands (main(args)):
  cells YEAR1 YEAR2   one line per month and week start (0 = Sunday .. 6 = Saturday):
                      "y-m s:" then six rows "W:d d d d d d d" (W the row's ISO week, a trailing
                      day marked with *); a month whose first day falls in the first column gets a
                      whole row of the previous month above it.
  weeks YEAR1 YEAR2   one line per year: the ISO week of every day, comma-separated.
  steps DATE...       per ISO date: "date prevday nextday prevmonth nextmonth", a month step keeping
                      the day where the other month has it, else that month's last day.
"""
import calendar
import datetime


def month_cells(year, month, week_start):
    # Python counts weekdays from Monday.
    weeks = calendar.Calendar((week_start + 6) % 7).monthdayscalendar(year, month)
    offset = weeks[0].index(1)
    if offset == 0:
        offset = 7
    first = datetime.date(year, month, 1) - datetime.timedelta(days=offset)
    rows = []
    for r in range(6):
        days = [first + datetime.timedelta(days=7 * r + c) for c in range(7)]
        cells = ["%d%s" % (d.day, "" if d.month == month else "*") for d in days]
        rows.append("%d:%s" % (days[0].isocalendar()[1], " ".join(cells)))
    return rows


def month_step(d, n):
    y, m = d.year, d.month + n
    if m < 1:
        y, m = y - 1, 12
    if m > 12:
        y, m = y + 1, 1
    return datetime.date(y, m, min(d.day, calendar.monthrange(y, m)[1]))


def main(args):
    command = args[0]
    if command == "cells":
        for year in range(int(args[1]), int(args[2]) + 1):
            for month in range(1, 13):
                for start in range(7):
                    print("%d-%d %d: %s" % (year, month, start, " | ".join(month_cells(year, month, start))))
    elif command == "weeks":
        for year in range(int(args[1]), int(args[2]) + 1):
            day = datetime.date(year, 1, 1)
            weeks = []
            while day.year == year:
                weeks.append(str(day.isocalendar()[1]))
                day += datetime.timedelta(days=1)
            print("%d: %s" % (year, ",".join(weeks)))
    elif command == "steps":
        one = datetime.timedelta(days=1)
        for text in args[1:]:
            d = datetime.date.fromisoformat(text)
            print(" ".join(x.isoformat() for x in (d, d - one, d + one, month_step(d, -1), month_step(d, 1))))
