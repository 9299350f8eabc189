#!/usr/bin/env python3
"""Writes a sample of the engine's logs below an install folder, in the columns the engine writes:
"<folder>/$LOGS/KRV.log" and one detail log per task entry.

    sample_logs.py FOLDER [--dates ORDER SEPARATOR]            27 entries of every category, with
                                                               detail logs
    sample_logs.py FOLDER [--dates ORDER SEPARATOR] --lines N  N master lines (a large log), every
                                                               50th with a detail log (only the
                                                               first 20 detail logs are written)
    sample_logs.py FOLDER [--dates ORDER SEPARATOR] --grow S   the 27 entries, then for S seconds
                                                               the engine at work in the background
                                                               (its process id printed): a copy's
                                                               detail log and the master log grow,
                                                               for the viewer's Follow the Log

The engine writes its dates in the order and with the separator of the user's short dates: ORDER
is Windows' short-date order number (0 month first, 1 day first, 2 year first), SEPARATOR the date
separator; without --dates, "mm/dd/yyyy".
"""
import datetime
import os
import random
import sys
import time

TAGS = [' MGR ', ' SVC ', ' ENG ']
SAMPLE = [
    (401, None, 'Korvane Manager [Version 3.1.0.7]'),
    (402, None, 'Pre-boot screen enabled'),
    (20, 'CP', 'Copy/Update of Original Area onto Rescue Area finished'),
    (7, None, 'The Rescue Area could not be reached'),
    (455, None, 'Recovered the area table from its copy'),
    (500, None, 'Service started'),
    (22, 'SZ', 'Size calculation of Rescue Area finished: 41,234,112 KB'),
    (1401, None, 'Boot settings changed by the manager'),
    (999, None, 'Engine stopped unexpectedly; restart pending'),
    (24, 'RM', 'Removal of Rescue Area finished'),
    (1450, None, 'Failed boot counter reset after a good start'),
    (998, None, 'Area switched after three failed boots'),
]
STEPS = ['Preparing the copy', 'Reading the area table', 'Copying folders', 'Skipping excluded files',
         'Keeping anchored folders', 'Updating changed files', 'Checking the copy', 'Writing the area table',
         'Closing', 'Done']


DATE_FORMS = {'0': ['%m', '%d', '%Y'], '1': ['%d', '%m', '%Y'], '2': ['%Y', '%m', '%d']}
date_format = '%m/%d/%Y'


def stamp(t):
    return t.strftime(date_format + ' %H:%M:%S')


def main():
    global date_format
    args = sys.argv[1:]
    folder = args.pop(0)
    if args[:1] == ['--dates']:
        order, separator = args[1], args[2]
        del args[:3]
        # A separator of more than one character, or one that could be part of a number, would not
        # fit the columns: "/" stands for it, as the engine does.
        if len(separator) != 1 or separator.isdigit() or separator.isspace() or not separator.isascii():
            separator = '/'
        date_format = separator.join(DATE_FORMS.get(order, DATE_FORMS['0']))
    lines = int(args[1]) if len(args) > 1 and args[0] == '--lines' else 0
    grow = int(args[1]) if len(args) > 1 and args[0] == '--grow' else 0
    logs = os.path.join(folder, '$LOGS')
    os.makedirs(logs, exist_ok=True)
    rng = random.Random(5)
    t = datetime.datetime(2024, 3, 1, 8, 0, 0)
    details = 0
    with open(os.path.join(logs, 'KRV.log'), 'wb') as master:
        # The sample's last entry (selected at start) is a copy with its 12-line detail log.
        count = lines or 27
        out = []
        for i in range(count):
            number, task, text = SAMPLE[i % len(SAMPLE)] if not lines else SAMPLE[rng.randrange(len(SAMPLE))]
            t += datetime.timedelta(seconds=rng.randrange(1, 4000 if not lines else 90))
            head = stamp(t) + TAGS[i % 3] + '%04d' % number + ' '
            if lines and i % 50 == 0:
                task = task or 'CP'
            elif lines:
                task = None
            if task:
                name = '%s%06d' % (task, i % 1000000)
                out.append(head + '[' + name + ']' + text + ' (%d)' % i)
                if details < 20 or not lines:
                    details += 1
                    steps = 12 if task == 'CP' else 3 + i % 5
                    with open(os.path.join(logs, name + '.log'), 'wb') as detail:
                        step_time = t
                        body = []
                        for k in range(steps):
                            step_time += datetime.timedelta(seconds=rng.randrange(1, 30))
                            body.append(stamp(step_time) + ' ENG ' + STEPS[k % len(STEPS)] + ' (step %d)' % (k + 1))
                        detail.write(('\r\n'.join(body) + '\r\n').encode('cp1252'))
            else:
                out.append(head + text + ' (%d)' % i)
            if len(out) >= 10000:
                master.write(('\r\n'.join(out) + '\r\n').encode('cp1252'))
                out = []
        if out:
            master.write(('\r\n'.join(out) + '\r\n').encode('cp1252'))
    if grow:
        # The sample is written: the engine works on in a process of its own, whose id is printed.
        pid = os.fork()
        if pid:
            print(pid)
            return
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(devnull, fd)
        keep_growing(logs, t, grow, rng)


def keep_growing(logs, t, seconds, rng):
    """A copy runs while the viewer shows the logs: its detail log gains a step each second, and the
    master log an entry every few seconds, the copy's own when it ends."""
    name = 'CP900000'
    steps = 0
    for second in range(seconds):
        time.sleep(1)
        t += datetime.timedelta(seconds=1)
        steps += 1
        with open(os.path.join(logs, name + '.log'), 'ab') as detail:
            line = stamp(t) + ' ENG ' + STEPS[steps % len(STEPS)] + ' (step %d)' % steps
            detail.write((line + '\r\n').encode('cp1252'))
        entry = None
        if second == 0:
            entry = stamp(t) + ' ENG 0020 [' + name + ']Copy/Update of Original Area onto Rescue Area running'
        elif second % 4 == 0:
            number, _, text = SAMPLE[rng.randrange(len(SAMPLE))]
            entry = stamp(t) + ' SVC ' + '%04d' % number + ' ' + text + ' (while copying)'
        if entry:
            with open(os.path.join(logs, 'KRV.log'), 'ab') as master:
                master.write((entry + '\r\n').encode('cp1252'))


main()
