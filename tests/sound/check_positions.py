#!/usr/bin/env python3
"""Checks a pause probe's log against the recording of the sink's monitor.

Each log line pairs the frame the engine called heard with how many bytes of
the monitor had been recorded at that moment. The recording's sound is split
at its silences (the pauses), each stretch is found in the reference, and so
the last recorded sample of each line names the frame the listener really
heard. Prints the largest difference in milliseconds and exits 0 only when
every line is within --tolerance-ms.
"""
import argparse
import sys
import wave

FRAME_BYTES = 4  # 16-bit stereo


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
    # Where each stretch of the recording lies in the reference.
    placed = []
    for start, end in sound_stretches(recording, int(rate * 0.02)):
        probe = recording[start:min(end, start + 16384)]
        at = reference.find(probe)
        if at < 0 or at % FRAME_BYTES:
            print(f'a stretch of the recording at byte {start} is not in the song')
            return 1
        placed.append((start, end, at))

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
