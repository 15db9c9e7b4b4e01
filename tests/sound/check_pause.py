#!/usr/bin/env python3
"""Checks a paused playback's recording of the sink's monitor, and the pause
probe's log of positions, against the conversion of the song.

The recording's sound is split at its silences (the pauses) and each stretch
is found in the reference. Each must be the reference's audio, sample for
sample, but for its first and last few milliseconds, where the sound fades in
and out and may only be softer; and each must start where the one before it
ended, so that no frame was skipped or repeated.

Each log line pairs the frame the engine called heard with how many bytes of
the monitor had been recorded at that moment; the last recorded sample names
the frame the listener really heard. Every line must be within
--tolerance-ms.
"""
import argparse
import array
import sys
import wave

FRAME_BYTES = 4  # 16-bit stereo
EDGE_MS = 10  # longer than a fade


def read_wav_pcm(path):
    with wave.open(path, 'rb') as w:
        return w.readframes(w.getnframes()), w.getframerate()


def sound_stretches(pcm, min_silence):
    """(start, end) byte ranges of sound separated by longer silences."""
    stretches, start, zeros = [], None, 0
    for at in range(0, len(pcm) - FRAME_BYTES + 1, FRAME_BYTES):
        if pcm[at:at + FRAME_BYTES] == b'\0\0\0\0':
            zeros += 1
            if start is not None and zeros >= min_silence:
                stretches.append((start, at - (zeros - 1) * FRAME_BYTES))
                start = None
            continue
        zeros = 0
        if start is None:
            start = at
    if start is not None:
        stretches.append((start, len(pcm) - zeros * FRAME_BYTES))
    return stretches


def no_louder(heard, reference):
    a, b = array.array('h', heard), array.array('h', reference)
    return all(abs(h) <= abs(r) and (h == 0 or (h < 0) == (r < 0)) for h, r in zip(a, b))


def place_stretches(recording, reference, rate):
    """(start, end, at) of each stretch: its bytes in the recording and where
    it starts in the reference, or a message saying what is wrong."""
    edge = int(rate * EDGE_MS / 1000) * FRAME_BYTES
    placed = []
    for start, end in sound_stretches(recording, int(rate * 0.02)):
        if end - start <= 2 * edge:
            return None, f'a stretch of {end - start} bytes at {start} is too short to place'
        inner = recording[start + edge:end - edge]
        at = reference.find(inner[:16384])
        if at < 0 or at % FRAME_BYTES:
            return None, f'the stretch at byte {start} is not in the song'
        if reference[at:at + len(inner)] != inner:
            return None, f'the stretch at byte {start} differs from the song'
        at -= edge
        if at < 0 or not no_louder(recording[start:start + edge], reference[at:at + edge]) or \
                not no_louder(recording[end - edge:end], reference[at + end - start - edge:at + end - start]):
            return None, f'the edges of the stretch at byte {start} are not a fade of the song'
        placed.append((start, end, at))
    return placed, None


def check_continuity(placed, reference, rate):
    """No frame skipped or repeated: each stretch goes on where the last one
    ended, within the silent ends of the fades."""
    slack = int(rate * EDGE_MS / 1000) * FRAME_BYTES
    ends = [at + end - start for start, end, at in placed]
    for k in range(1, len(placed)):
        gap = placed[k][2] - ends[k - 1]
        print(f'pause {k}: the song goes on {gap // FRAME_BYTES:+d} sample frames from where it stopped')
        if abs(gap) > slack:
            return False
    sound = [i for i in range(0, len(reference), FRAME_BYTES) if reference[i:i + FRAME_BYTES] != b'\0' * FRAME_BYTES]
    return bool(placed) and abs(placed[0][2] - sound[0]) <= slack and abs(ends[-1] - sound[-1] - FRAME_BYTES) <= slack


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('log')
    parser.add_argument('recording')
    parser.add_argument('reference')
    parser.add_argument('--samples-per-frame', type=int, default=1152)
    parser.add_argument('--tolerance-ms', type=float, default=150.0)
    args = parser.parse_args()

    reference, rate = read_wav_pcm(args.reference)
    with open(args.recording, 'rb') as f:
        recording = f.read()
    placed, problem = place_stretches(recording, reference, rate)
    if problem:
        print(problem)
        return 1
    print(f'{len(placed)} stretches of sound, each the song but for its fades')
    if not check_continuity(placed, reference, rate):
        print('the stretches do not join into the whole song')
        return 1

    worst, checked = 0.0, 0
    with open(args.log) as f:
        for line in f:
            if line.startswith('#'):
                continue
            _ms, frame, recorded = (int(v) for v in line.split())
            last = recorded - FRAME_BYTES
            for start, end, at in placed:
                if start <= last < end:
                    sample = (at + last - start) // FRAME_BYTES
                    # The frame whose samples the listener hears.
                    heard = sample / args.samples_per_frame
                    error = (frame - heard) * args.samples_per_frame * 1000.0 / rate
                    worst = max(worst, abs(error))
                    checked += 1
                    break
    print(f'position lines checked {checked}, largest difference {worst:.0f} ms')
    return 0 if checked > 100 and worst <= args.tolerance_ms else 1


if __name__ == '__main__':
    sys.exit(main())
