#!/usr/bin/env python3
"""Compares a recording of a sink's monitor with the WAV file of the same song.

The recording starts and ends in the silence around the song. Its first sound
is lined up with the reference's; every stretch of silence the recording has
where the reference has sound is counted as a dropout and skipped, so that
the rest lines up again. With --drop-silence, every silence longer than
--silence-ms is removed from both first (a paused playback). With --leading,
the recording may go on past the reference (a list that repeats). With
--volume, the reference is first scaled by LEVEL / 65535 as the player's
volume scales what it plays, truncated toward zero.

Prints "dropouts N, differing samples M, compared K frames" and exits 0 only
when the recording holds the whole reference, sample for sample, no more and
no less, without a dropout.
"""
import argparse
import array
import sys
import wave


def frames_of(pcm, channels):
    return [tuple(pcm[i:i + channels]) for i in range(0, len(pcm) - channels + 1, channels)]


def read_wav(path):
    with wave.open(path, 'rb') as w:
        pcm = array.array('h', w.readframes(w.getnframes()))
        return pcm, w.getnchannels()


def read_raw(path):
    pcm = array.array('h')
    with open(path, 'rb') as f:
        pcm.frombytes(f.read())
    return pcm


def drop_silences(frames, min_run):
    out, run = [], []
    for f in frames:
        if not any(f):
            run.append(f)
            continue
        if len(run) < min_run:
            out.extend(run)
        run = []
        out.append(f)
    return out


def scaled(sample, level):
    magnitude = abs(sample) * level // 65535
    return magnitude if sample >= 0 else -magnitude


def strip(frames):
    first = next((i for i, f in enumerate(frames) if any(f)), len(frames))
    last = next((i for i in range(len(frames) - 1, -1, -1) if any(frames[i])), -1)
    return frames[first:last + 1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('recording')
    parser.add_argument('reference')
    parser.add_argument('--drop-silence', action='store_true')
    parser.add_argument('--silence-ms', type=float, default=5.0)
    parser.add_argument('--leading', action='store_true')
    parser.add_argument('--volume', type=int, default=65535)
    args = parser.parse_args()

    ref_pcm, channels = read_wav(args.reference)
    if args.volume != 65535:
        ref_pcm = array.array('h', (scaled(s, args.volume) for s in ref_pcm))
    ref = strip(frames_of(ref_pcm, channels))
    rec = strip(frames_of(read_raw(args.recording), channels))
    if args.drop_silence:
        min_run = int(44.1 * args.silence_ms)
        ref = drop_silences(ref, min_run)
        rec = drop_silences(rec, min_run)

    dropouts = differing = 0
    r = 0
    for i, f in enumerate(ref):
        if r < len(rec) and rec[r] == f:
            r += 1
            continue
        if r < len(rec) and not any(rec[r]) and any(f):
            # Silence where the song has sound: a gap in the stream.
            dropouts += 1
            while r < len(rec) and not any(rec[r]):
                r += 1
            if r < len(rec) and rec[r] == f:
                r += 1
                continue
        differing += 1
        r += 1
    extra = 0 if args.leading else max(0, len(rec) - r)
    print(f'dropouts {dropouts}, differing samples {differing}, extra frames {extra}, '
          f'compared {len(ref)} frames')
    return 0 if dropouts == 0 and differing == 0 and extra == 0 else 1


if __name__ == '__main__':
    sys.exit(main())
