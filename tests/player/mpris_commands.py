#!/usr/bin/env python3
"""Forty MPRIS commands in a random order, as media keys, window-manager key
bindings and scripts send them: half wait for the reply (--print-reply), half
do not (dbus-send then sends the command as a signal). After each, PlaybackStatus, Metadata and Position must be what the
command asked for, and every awaited reply must come within 100 ms.

Runs the player on a private session bus with the null device; run it under
xvfb-run.

usage: mpris_commands.py SONGWELL SONG SONG SONG
"""
import os
import random
import re
import subprocess
import sys
import tempfile
import time

SERVICE = 'org.mpris.MediaPlayer2.songwell'
PATH = '/org/mpris/MediaPlayer2'
PLAYER = 'org.mpris.MediaPlayer2.Player'
# Stretched in the sanitizer builds, whose code runs several times slower.
REPLY_LIMIT_S = 0.100 * float(os.environ.get('SONGWELL_TIME_SCALE', '1'))
SETTLE_LIMIT_S = 5.0


def dbus_send(*args, reply=True, call=False):
    """Without `reply`, dbus-send sends the command as a signal, unless
    `call` asks for a method call whose reply nobody waits for."""
    command = ['dbus-send', '--session', '--dest=' + SERVICE]
    if reply:
        command.append('--print-reply')
    elif call:
        command.append('--type=method_call')
    command.append(PATH)
    started = time.monotonic()
    result = subprocess.run(command + list(args), capture_output=True, text=True, timeout=10)
    return result, time.monotonic() - started


def get(prop):
    result, _ = dbus_send('org.freedesktop.DBus.Properties.Get', 'string:' + PLAYER,
                          'string:' + prop)
    return result.stdout


def position_s():
    match = re.search(r'int64 (-?\d+)', get('Position'))
    return int(match.group(1)) / 1e6 if match else -1.0


def status():
    match = re.search(r'string "(\w+)"', get('PlaybackStatus'))
    return match.group(1) if match else ''


def fail(text):
    print('mpris_commands: ' + text, file=sys.stderr)
    sys.exit(1)


def wait_until(check, what):
    """Waits for a command sent without a reply to take effect."""
    deadline = time.monotonic() + SETTLE_LIMIT_S
    while time.monotonic() < deadline:
        if check():
            return
        time.sleep(0.02)
    fail(what)


class Model:
    """What the player must be doing after each command: a list of three
    songs played in order (Standard mode)."""

    def __init__(self, songs):
        self.songs = songs
        self.state = 'Playing'
        self.song = 0

    def apply(self, command):
        if command == 'PlayPause':
            self.state = 'Paused' if self.state == 'Playing' else 'Playing'
        elif command == 'Play':
            self.state = 'Playing'
        elif command == 'Pause':
            if self.state == 'Playing':
                self.state = 'Paused'
        elif command == 'Stop':
            self.state = 'Stopped'
        elif command == 'Next':
            if self.song + 1 < len(self.songs):
                self.song += 1
                self.state = 'Playing'
            else:
                # Past the end of the list: the first song is selected, and
                # nothing plays.
                self.song = 0
                self.state = 'Stopped'
        elif command == 'Previous':
            self.song = max(self.song - 1, 0)
            self.state = 'Playing'
        elif command == 'Seek' and self.state == 'Stopped':
            # A stopped song moved on from its start waits there, paused.
            self.state = 'Paused'

    def title(self):
        return os.path.splitext(os.path.basename(self.songs[self.song]))[0]


def main():
    songwell, songs = sys.argv[1], sys.argv[2:]
    work = tempfile.mkdtemp()
    bus = subprocess.run(['dbus-daemon', '--session', '--fork', '--print-address=1',
                          '--print-pid=1'], capture_output=True, text=True, check=True)
    address, bus_pid = bus.stdout.split()[:2]
    os.environ['DBUS_SESSION_BUS_ADDRESS'] = address
    # Songs play in real time: a pause ends with the frame being heard, so
    # a slower device would answer later. Forty commands and their seeks
    # take less than a song lasts, so every change is one a command made.
    env = dict(os.environ, AUDIOCORE_OUTPUT='null', AUDIOCORE_NULL_SPEED='1')
    player = subprocess.Popen([songwell] + songs, env=env, cwd=work)
    try:
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and status() != 'Playing':
            time.sleep(0.1)
        if status() != 'Playing':
            fail('the player did not start playing')
        run(Model(songs))
    finally:
        player.terminate()
        player.wait(timeout=10)
        os.kill(int(bus_pid), 15)
    print('mpris_commands: 40 commands, every one answered and followed')


def run(model):
    rng = random.Random(28)
    commands = ['PlayPause', 'Play', 'Pause', 'Next', 'Previous', 'Stop', 'Seek', 'Volume']
    replies = [True] * 20 + [False] * 20
    rng.shuffle(replies)
    volume = 1.0
    for step, reply in enumerate(replies):
        command = rng.choice(commands)
        label = f'step {step}: {command} ({"with" if reply else "without"} reply)'
        before = position_s()
        if command == 'Seek':
            args = [PLAYER + '.Seek', 'int64:1000000']
        elif command == 'Volume':
            volume = rng.choice([0.25, 0.5, 0.75, 1.0])
            args = ['org.freedesktop.DBus.Properties.Set', 'string:' + PLAYER, 'string:Volume',
                    f'variant:double:{volume}']
        else:
            args = [PLAYER + '.' + command]
        result, took = dbus_send(*args, reply=reply, call=command == 'Volume')
        if result.returncode != 0:
            fail(f'{label}: {result.stderr.strip()}')
        if reply and took > REPLY_LIMIT_S:
            fail(f'{label}: the reply took {took * 1000:.0f} ms')
        model.apply(command)
        wait_until(lambda: status() == model.state,
                   f'{label}: PlaybackStatus is {status()}, not {model.state}')
        wait_until(lambda: model.title() in get('Metadata'),
                   f'{label}: Metadata does not name {model.title()}')
        if command == 'Volume':
            wait_until(lambda: abs(float(re.search(r'double ([\d.]+)', get('Volume')).group(1))
                                   - volume) < 0.01, f'{label}: Volume is not {volume}')
        position = position_s()
        if model.state == 'Stopped' and position != 0:
            fail(f'{label}: stopped at {position:.2f} s, not at the start')
        if command in ('Next', 'Previous') and position > 2.5:
            fail(f'{label}: the new song stands at {position:.2f} s')
        if command == 'Seek':
            if not (before + 0.5 <= position <= before + 2.5):
                fail(f'{label}: a 1 s seek moved the position from {before:.2f} s to '
                     f'{position:.2f} s')


if __name__ == '__main__':
    main()
