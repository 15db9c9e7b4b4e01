#!/usr/bin/env python3
"""Writes the generated vector art of Songwell's skin from one description:

    ../skin/Form11GiF1.txt   the main window's outline for the skin control
    ../skin/form1.svg        the main window's background picture (411 x 317)
    ../skin/banner.svg       the farewell banner (540 x 75)
    ../icons/songwell.svg    the application icon

The outline is placed here in window pixels. The panels, bars, lamps and
lines are drawn where the window's design (../ui/Form1.ui) puts the controls
of those names, and each key over the areas that the window's table of click
areas (../../player/MainWindowAreas.cpp) gives its command, so that a drawn
key cannot drift from where the window takes its clicks. The logo's emblem
and wordmark are copied from ../skin/logo.svg. Run it after a change and
commit what it wrote; the build renders the SVG files to PNG.

    make_skin.py           writes the files
    make_skin.py --check   writes nothing; fails when a file differs from
                           what the design and the table give
"""
import math
import os
import random
import re
import sys
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN = os.path.join(HERE, "..", "skin")
ICONS = os.path.join(HERE, "..", "icons")
DESIGN = os.path.join(HERE, "..", "ui", "Form1.ui")
AREA_TABLE = os.path.join(HERE, "..", "..", "player", "MainWindowAreas.cpp")

# The client area is 409 x 317; the picture is 411 x 317 and its last two
# columns lie outside the outline. The polygon file holds each vertex minus
# (X_Plus, Y_Plus), the offsets the window's skin control adds back.
WIDTH, HEIGHT = 409, 317
PICTURE_WIDTH = 411
X_PLUS, Y_PLUS = 4, 23
RADIUS = {"tl": 22, "tr": 12, "br": 22, "bl": 12}
RECESS = (150, 170, 310, 330, 6)  # shoulder, floor start, floor end, shoulder, depth


# ---------------------------------------------------------------- design

class Design:
    """The main window's controls by name, and its click areas by command."""

    def __init__(self, design=DESIGN, table=AREA_TABLE):
        self.rects = {}
        self.hidden = set()  # not shown when the window opens
        for widget in ET.parse(design).iter("widget"):
            rect = widget.find("property[@name='geometry']/rect")
            if rect is not None:
                self.rects[widget.get("name")] = tuple(
                    int(rect.find(k).text) for k in ("x", "y", "width", "height"))
            if widget.findtext("property[@name='visible']/bool") == "false":
                self.hidden.add(widget.get("name"))
        self.commands = {}
        self.underlines = {}
        text = open(table).read()
        rows = re.findall(r'\{"(\w+)",\s*Command::(\w+),\s*(?:"(?:[^"\\]|\\.)*"|\w+),'
                          r'\s*(?:\{[^}]*\}|\w+),\s*(nullptr|"\w+")', text)
        if len(rows) != text.count("Command::"):
            sys.exit(f"make_skin.py: {len(rows)} of the {text.count('Command::')} click areas "
                     f"in {table} read; is a row in another form?")
        for name, command, underline in rows:
            self.rect(name)
            self.commands.setdefault(command, []).append(name)
            if underline != "nullptr":
                self.underlines.setdefault(command, underline.strip('"'))

    def rect(self, name):
        if name not in self.rects:
            sys.exit(f"make_skin.py: the design has no control named {name}")
        return self.rects[name]

    def key(self, command):
        """The rectangle around the areas giving the command that the opened window shows."""
        names = [n for n in self.commands.get(command, []) if n not in self.hidden]
        if not names:
            sys.exit(f"make_skin.py: no click area shown at the start gives the command {command}")
        rects = [self.rect(n) for n in names]
        x0 = min(r[0] for r in rects)
        y0 = min(r[1] for r in rects)
        x1 = max(r[0] + r[2] for r in rects)
        y1 = max(r[1] + r[3] for r in rects)
        return x0, y0, x1 - x0, y1 - y0

    def underline(self, command):
        """First and last pixel column and the row of the command's underline."""
        if command not in self.underlines:
            sys.exit(f"make_skin.py: the command {command} has no underline")
        x, y, w, _ = self.rect(self.underlines[command])
        return x, x + w - 1, y


def whole(value):
    """A coordinate as the SVG writes it: an integer when it is one."""
    return int(value) if float(value).is_integer() else value


def centre(rect):
    x, y, w, h = rect
    return whole(x + w / 2), whole(y + h / 2)


# ---------------------------------------------------------------- outline

def arc(cx, cy, r, start, end, steps):
    return [(cx + r * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + r * math.sin(math.radians(start + (end - start) * i / steps)))
            for i in range(steps + 1)]


def outline(inset=0.0):
    """Outline points, clockwise from the top-left corner, moved inwards by inset."""
    d = inset
    left, top, right, bottom = d, d, WIDTH - d, HEIGHT - d
    pts = arc(left + RADIUS["tl"] - d, top + RADIUS["tl"] - d, RADIUS["tl"] - d, 180, 270, 8)
    a, b, c, e, depth = RECESS
    for i in range(7):  # down into the recess of the top edge along a smooth S
        t = i / 6
        pts.append((a + (b - a) * t, top + depth * (1 - math.cos(math.pi * t)) / 2))
    for i in range(7):  # and back up
        t = i / 6
        pts.append((c + (e - c) * t, top + depth * (1 + math.cos(math.pi * t)) / 2))
    r = RADIUS["tr"] - d
    pts += arc(right - r, top + r, r, 270, 360, 5)
    r = RADIUS["br"] - d
    pts += arc(right - r, bottom - r, r, 0, 90, 8)
    r = RADIUS["bl"] - d
    pts += arc(left + r, bottom - r, r, 90, 180, 5)
    return pts


def integer_outline():
    out = []
    for x, y in outline():
        p = (round(x), round(y))
        if not out or out[-1] != p:
            out.append(p)
    if out[0] == out[-1]:
        out.pop()
    return out


def span_at(y, pts):
    """Left and right x where the horizontal line y crosses the polygon."""
    xs = []
    for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1]):
        if (y0 <= y < y1) or (y1 <= y < y0):
            xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
    return (min(xs), max(xs)) if len(xs) >= 2 else None


def points(pts, digits=2):
    return " ".join(f"{round(x, digits):g},{round(y, digits):g}" for x, y in pts)


# ---------------------------------------------------------------- logo parts

def logo_parts():
    text = open(os.path.join(SKIN, "logo.svg")).read()
    defs = re.search(r"<defs>(.*?)</defs>", text, re.S).group(1)

    def group(name):
        start = text.index(f'<g id="{name}"')
        depth, i = 0, start
        while True:
            opening = text.find("<g", i)
            closing = text.find("</g>", i)
            if opening != -1 and opening < closing:
                depth, i = depth + 1, opening + 2
            else:
                depth, i = depth - 1, closing + 4
                if depth == 0:
                    return text[start:i].replace(f'id="{name}"', "")
    return defs, group("emblem"), group("wordmark")


# ---------------------------------------------------------------- drawing helpers

def rrect(x, y, w, h, r, extra):
    return f'<rect x="{x:g}" y="{y:g}" width="{w:g}" height="{h:g}" rx="{r:g}" ry="{r:g}" {extra}/>'


def recess(x, y, w, h, r, fill):
    """A panel sunk into the body: dark lip above, light edge below."""
    return "\n".join([
        rrect(x - 1.5, y - 1.5, w + 3, h + 3, r + 1.5, 'fill="#FFFFFF" fill-opacity="0.07"'),
        rrect(x - 1.5, y - 1.5, w + 3, h + 2, r + 1.5, 'fill="#050608"'),
        rrect(x - 0.5, y - 0.5, w + 1, h + 1, r + 0.5, f'fill="{fill}"'),
    ])


def plate(x, y, w, h, r):
    """A raised key: gradient face, dark edge, light top line."""
    return "\n".join([
        rrect(x + 0.5, y + 0.5, w - 1, h - 1, r, 'fill="url(#plate)" stroke="#0A0C0F"'),
        f'<path d="M{x + r:g},{y + 1.5:g} H{x + w - r:g}" stroke="#FFFFFF" stroke-opacity="0.2"/>',
    ])


def round_key(cx, cy, r, glyph, accent=False):
    parts = [
        f'<circle cx="{cx}" cy="{cy + 1}" r="{r + 1.5}" fill="#000000" fill-opacity="0.55"/>',
        f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="url(#keyRim)"/>',
        f'<circle cx="{cx}" cy="{cy}" r="{r - 2.2}" fill="url(#keyFace)"/>',
        f'<circle cx="{cx}" cy="{cy}" r="{r - 0.6}" fill="none" stroke="#FFFFFF" '
        f'stroke-opacity="0.16" stroke-width="0.8"/>',
    ]
    if accent:
        parts.append(f'<circle cx="{cx}" cy="{cy}" r="{r - 1.3}" fill="none" stroke="#4FD1FF" '
                     f'stroke-opacity="0.75" stroke-width="1.1"/>')
    parts.append(f'<g fill="#E6EEF7" transform="translate({cx},{cy})">{glyph}</g>')
    return "\n".join(parts)


def text(x, y, s, size, fill, anchor="start", weight="bold", family="DejaVu Sans", extra=""):
    return (f'<text x="{x:g}" y="{y:g}" font-family="{family}" font-size="{size:g}" '
            f'font-weight="{weight}" fill="{fill}" text-anchor="{anchor}" {extra}>{s}</text>')


# ---------------------------------------------------------------- main window

def brushed_lines(rng):
    """Faint hairlines across the body, kept inside the outline, like brushed metal."""
    inner = outline(3)
    lines = []
    y = 3.0
    while y < HEIGHT - 3:
        span = span_at(y, inner)
        if span:
            x0, x1 = span
            start = rng.uniform(x0, x0 + (x1 - x0) * 0.5)
            end = min(x1, start + rng.uniform(60, 320))
            shade = "#FFFFFF" if rng.random() < 0.55 else "#000000"
            alpha = rng.uniform(0.018, 0.05)
            lines.append(f'<path d="M{start:.1f},{y:.1f} H{end:.1f}" stroke="{shade}" '
                         f'stroke-opacity="{alpha:.3f}" stroke-width="0.7"/>')
        y += rng.uniform(0.8, 2.6)
    return "\n".join(lines)


def display_panel(d):
    x, y, w, h = d.rect("Label1")
    parts = [recess(x, y, w, h, 6, "url(#glass)")]
    parts.append(rrect(x, y, w, h, 6, 'fill="url(#glassGlow)"'))
    for row in range(y + 2, y + h - 1, 2):  # fine scanlines give the glass depth
        parts.append(f'<path d="M{x + 2},{row + 0.5} H{x + w - 2}" stroke="#000000" '
                     f'stroke-opacity="0.12" stroke-width="0.5"/>')
    parts.append(f'<path d="M{x + 1},{y + 1} H{x + w - 1} V{y + 34} Q{x + 70},{y + 24} '
                 f'{x + 1},{y + 42} Z" fill="url(#glassShine)"/>')
    # Lamp sockets under the lamps (7 x 7 each, two rows of two).
    for lamp in ("Image30", "Image29", "Image31", "Image32"):
        lx, ly, _, _ = d.rect(lamp)
        cx, cy = centre(d.rect(lamp))
        parts.append(f'<circle cx="{cx}" cy="{cy}" r="3.4" fill="#0C1217" '
                     f'stroke="#000000" stroke-width="0.6"/>')
        parts.append(f'<circle cx="{cx}" cy="{cy}" r="2.2" fill="#1B2730"/>')
        parts.append(f'<circle cx="{lx + 2.7}" cy="{ly + 2.6}" r="0.7" fill="#FFFFFF" '
                     f'fill-opacity="0.18"/>')
    # A quiet waveform beside the lamps: the brand's motif, not data.
    wave = []
    for i in range(0, 113):
        px = 44 + i
        env = math.sin(math.pi * i / 112)
        py = 127.5 + 6.5 * env * math.sin(i * 0.55) * (0.55 + 0.45 * math.sin(i * 0.13))
        wave.append((px, py))
    parts.append(f'<polyline points="{points(wave, 1)}" fill="none" stroke="#4FD1FF" '
                 f'stroke-opacity="0.28" stroke-width="1"/>')
    parts.append(f'<path d="M44,127.5 H157" stroke="#4FD1FF" stroke-opacity="0.10"/>')
    return "\n".join(parts)


GLYPHS = {
    "prev": '<rect x="-7" y="-5" width="2" height="10" rx="0.6"/>'
            '<path d="M-4.5,0 L1,-5 V5 Z"/><path d="M1,0 L6.5,-5 V5 Z"/>',
    "play": '<path d="M-8,-6 L1.5,0 L-8,6 Z"/>'
            '<rect x="3.5" y="-6" width="2.3" height="12" rx="0.6"/>'
            '<rect x="7.2" y="-6" width="2.3" height="12" rx="0.6"/>',
    "stop": '<rect x="-4.5" y="-4.5" width="9" height="9" rx="1.3"/>',
    "next": '<path d="M-6.5,-5 L-1,0 L-6.5,5 Z"/><path d="M-1,-5 L4.5,0 L-1,5 Z"/>'
            '<rect x="5" y="-5" width="2" height="10" rx="0.6"/>',
}


def transport(d):
    parts = [recess(12, 148, 153, 44, 9, "url(#well)")]
    # Each round key fills the height of its areas, centred on them.
    for command, glyph in (("PreviousSong", "prev"), ("PlayOrPause", "play"),
                           ("StopSong", "stop"), ("NextSong", "next")):
        key = d.key(command)
        parts.append(round_key(*centre(key), whole(key[3] / 2), GLYPHS[glyph],
                               accent=command == "PlayOrPause"))
    return "\n".join(parts)


def mode_keys(d):
    icon = 'fill="none" stroke="#8FDDF7" stroke-width="1.3" stroke-linecap="round" ' \
           'stroke-linejoin="round"'
    keys = [
        ("Standard", "STD", f'<path {icon} d="M4,8 H10.5 M8.5,5.8 L10.8,8 L8.5,10.2 M12.8,4.8 V11.2"/>'),
        ("Shuffle", "SHUF", f'<path {icon} d="M3.5,5 C7,5 8,11 12,11 M3.5,11 C7,11 8,5 12,5 '
                     f'M10.3,3.4 L12.2,5 L10.3,6.6 M10.3,9.4 L12.2,11 L10.3,12.6"/>'),
        ("Repeat", "RPT", f'<path {icon} d="M5,10.5 C3,10.5 3,5 5.5,5 H11 M9.2,3.3 L11.1,5 L9.2,6.7 '
                     f'M11,5.6 C13,5.6 13,11 10.5,11 H7.5"/>'),
    ]
    parts = []
    for command, name, glyph in keys:
        x, y, w, h = d.key(command)
        parts.append(plate(x, y, w, h, 7.5))
        parts.append(f'<g transform="translate({x + 2},{y})">{glyph}</g>')
        parts.append(text(x + 17, y + 11.3, name, 7, "#C9D3DF"))
    return "\n".join(parts)


def list_area(d):
    x, y, w, h = d.rect("lstPlayList1")
    return "\n".join([
        recess(*d.rect("Label2"), 6, "#0D1117"),
        rrect(*d.rect("CustomListBox1"), 3, 'fill="url(#listWell)"'),
        recess(x, y, w, h, 4, "#0D1117"),
        f'<path d="M{x + 1},{y + 1.5:g} H{x + w - 1}" stroke="#FFFFFF" stroke-opacity="0.04"/>',
    ])


def bars(d):
    vx, vy, vw, vh = d.rect("PBarY1")
    speaker = ('<g transform="translate(14,240)" fill="#9FB3C8">'
               '<path d="M1,5 H4 L8,1.5 V12.5 L4,9 H1 Z"/>'
               '<path d="M10,4.3 Q12,7 10,9.7" fill="none" stroke="#9FB3C8" stroke-width="1.2" '
               'stroke-linecap="round"/></g>')
    # Engraved caption and level ticks over the volume groove.
    ticks = "".join(f'<path d="M{vx + i * vw / 10:.1f},{236.5 if i % 5 else 235.5} V238.5" '
                    f'stroke="#7C8897" stroke-opacity="0.6"/>' for i in range(11))
    return "\n".join([
        speaker,
        text(vx, 231, "VOLUME", 6.5, "#7C8897", extra='fill-opacity="0.85"'),
        ticks,
        recess(vx, vy, vw, vh, 3, "#06080B"),
        recess(*d.rect("PBarY2"), 3, "#06080B"),
    ])


def separator(d, line):
    """A groove along one of the design's frame lines."""
    x0, y, w, _ = d.rect(line)
    x1 = x0 + w - 1
    return (f'<path d="M{x0},{y + 0.5} H{x1}" stroke="#0A0C0F"/>'
            f'<path d="M{x0},{y + 1.5} H{x1}" stroke="#FFFFFF" stroke-opacity="0.07"/>')


TEXT_KEYS = ("LoadSong", "LoadFolder", "ClearList", "RemoveSong", "ShowConverter", "SongInfo")


def text_keys(d):
    parts = [plate(*d.key(command), 4) for command in TEXT_KEYS]
    # Eject-like "open" glyph on the load key's picture, a folder on the
    # folder key, and a cut between the load key's picture and its caption.
    ox, oy = d.key("LoadSong")[:2]
    parts.append(f'<g fill="#8FDDF7"><path d="M{ox + 4},{oy + 12} L{ox + 9},{oy + 5.5:g} '
                 f'L{ox + 14},{oy + 12} Z"/>'
                 f'<rect x="{ox + 4}" y="{oy + 13.5:g}" width="10" height="1.8" rx="0.5"/></g>')
    fx, fy = d.key("LoadFolder")[:2]
    parts.append(f'<path d="M{fx + 4.5:g},{fy + 5.5:g} H{fx + 9} L{fx + 10.5:g},{fy + 7} '
                 f'H{fx + 17.5:g} V{fy + 14.5:g} H{fx + 4.5:g} Z" fill="none" '
                 f'stroke="#8FDDF7" stroke-width="1.2" stroke-linejoin="round"/>'
                 f'<path d="M{fx + 4.5:g},{fy + 8.8:g} H{fx + 17.5:g}" stroke="#8FDDF7" '
                 f'stroke-width="1"/>')
    cx, cy = d.rect("Label6")[:2]
    parts.append(f'<path d="M{cx + 0.5:g},{cy + 3} V{cy + 15}" stroke="#0A0C0F" '
                 f'stroke-opacity="0.7"/>')
    # Grooves where the underline lines of the text keys light up.
    for command in TEXT_KEYS:
        if command in d.underlines:
            x0, x1, y = d.underline(command)
            parts.append(f'<path d="M{x0},{y + 0.5:g} H{x1}" stroke="#000000" '
                         f'stroke-opacity="0.45"/>')
    # Speaker grille to the right of the keys.
    for gx in range(342, 397, 4):
        for gy in range(267, 281, 4):
            parts.append(f'<circle cx="{gx}" cy="{gy}" r="1.1" fill="#06080A"/>')
            parts.append(f'<circle cx="{gx}" cy="{gy + 0.9}" r="0.6" fill="#FFFFFF" '
                         f'fill-opacity="0.06"/>')
    return "\n".join(parts)


def status_strip(d):
    hx, hy = centre(d.key("ToggleHintLine"))
    x0, x1, y = d.underline("ToggleHintLine")
    return "\n".join([
        recess(12, 288, 385, 22, 8, "url(#well)"),
        f'<circle cx="{hx}" cy="{hy}" r="7.6" fill="url(#plate)" stroke="#0A0C0F"/>',
        f'<path d="M{hx - 4.5:g},{hy - 4} A6,6 0 0 1 {hx + 4.5:g},{hy - 4}" fill="none" '
        f'stroke="#FFFFFF" stroke-opacity="0.2"/>',
        text(hx, hy + 3.6, "?", 10, "#8FDDF7", anchor="middle"),
        f'<path d="M{x0},{y + 0.5:g} H{x1}" stroke="#000000" stroke-opacity="0.45"/>',
    ])


def top_bar(d, emblem, wordmark):
    lx, ly = d.key("OpenHelpPage")[:2]
    parts = [f'<g transform="translate({lx},{ly})">{emblem}{wordmark}</g>']
    parts.append(text(240, 23, "MPEG AUDIO PLAYER", 6.5, "#7C8897", anchor="middle",
                      extra='fill-opacity="0.85"'))
    mx, my, mw, mh = d.key("Minimize")
    parts.append(plate(mx, my, mw, mh, 4))
    parts.append(f'<rect x="{mx + 5}" y="{my + 10.5:g}" width="10" height="2" rx="1" '
                 f'fill="#D5DEE8"/>')
    cx, cy, cw, ch = d.key("Close")
    parts.append(plate(cx, cy, cw, ch, 4))
    parts.append(f'<path d="M{cx + 6},{cy + 5} L{cx + 14},{cy + 13} M{cx + 14},{cy + 5} '
                 f'L{cx + 6},{cy + 13}" stroke="#FF7A7A" stroke-width="1.8" '
                 f'stroke-linecap="round"/>')
    parts.append(separator(d, "Line1"))
    return "\n".join(parts)


def form1():
    d = Design()
    defs, emblem, wordmark = logo_parts()
    body = points(integer_outline(), 0)
    rim = points(outline(1.5))
    edge = points(outline(0.5))
    rng = random.Random(409317)
    return f'''<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny"
     width="{PICTURE_WIDTH}" height="{HEIGHT}" viewBox="0 0 {PICTURE_WIDTH} {HEIGHT}">
<!-- Generated by assets/tools/make_skin.py: edit the script, not this file. -->
<defs>
{defs}
<linearGradient id="body" x1="0" y1="0" x2="0" y2="{HEIGHT}" gradientUnits="userSpaceOnUse">
  <stop offset="0" stop-color="#363C47"/><stop offset="0.12" stop-color="#2A2F38"/>
  <stop offset="0.7" stop-color="#20242B"/><stop offset="1" stop-color="#15181D"/>
</linearGradient>
<radialGradient id="sheen" cx="90" cy="-40" r="300" gradientUnits="userSpaceOnUse">
  <stop offset="0" stop-color="#FFFFFF" stop-opacity="0.10"/>
  <stop offset="1" stop-color="#FFFFFF" stop-opacity="0"/>
</radialGradient>
<linearGradient id="rim" x1="0" y1="0" x2="0" y2="{HEIGHT}" gradientUnits="userSpaceOnUse">
  <stop offset="0" stop-color="#FFFFFF" stop-opacity="0.30"/>
  <stop offset="0.3" stop-color="#FFFFFF" stop-opacity="0.08"/>
  <stop offset="1" stop-color="#FFFFFF" stop-opacity="0.03"/>
</linearGradient>
<linearGradient id="glass" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#0D2431"/><stop offset="1" stop-color="#061119"/>
</linearGradient>
<radialGradient id="glassGlow" cx="40" cy="60" r="120" gradientUnits="userSpaceOnUse">
  <stop offset="0" stop-color="#3FC6FF" stop-opacity="0.16"/>
  <stop offset="1" stop-color="#3FC6FF" stop-opacity="0"/>
</radialGradient>
<linearGradient id="glassShine" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#FFFFFF" stop-opacity="0.10"/>
  <stop offset="1" stop-color="#FFFFFF" stop-opacity="0.01"/>
</linearGradient>
<linearGradient id="well" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#0E1116"/><stop offset="1" stop-color="#171B21"/>
</linearGradient>
<linearGradient id="listWell" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#101720"/><stop offset="1" stop-color="#0A0E13"/>
</linearGradient>
<linearGradient id="plate" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#474E5B"/><stop offset="0.5" stop-color="#30353F"/>
  <stop offset="1" stop-color="#24282F"/>
</linearGradient>
<linearGradient id="keyRim" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#6A7280"/><stop offset="1" stop-color="#1E2228"/>
</linearGradient>
<linearGradient id="keyFace" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#2C3139"/><stop offset="1" stop-color="#434A55"/>
</linearGradient>
</defs>
<polygon points="{body}" fill="url(#body)"/>
<polygon points="{body}" fill="url(#sheen)"/>
{brushed_lines(rng)}
<polygon points="{edge}" fill="none" stroke="#050608" stroke-width="1"/>
<polygon points="{rim}" fill="none" stroke="url(#rim)" stroke-width="1"/>
{top_bar(d, emblem, wordmark)}
{display_panel(d)}
{transport(d)}
{mode_keys(d)}
{list_area(d)}
{bars(d)}
{separator(d, "Line4")}
{text_keys(d)}
{status_strip(d)}
</svg>
'''


# ---------------------------------------------------------------- banner and icon

def banner():
    defs, emblem, wordmark = logo_parts()
    rng = random.Random(54075)
    stars = "\n".join(
        f'<circle cx="{rng.uniform(60, 540):.1f}" cy="{rng.uniform(2, 40):.1f}" '
        f'r="{rng.uniform(0.3, 0.9):.2f}" fill="#FFFFFF" fill-opacity="{rng.uniform(0.2, 0.8):.2f}"/>'
        for _ in range(70))

    def hills(base, amp, seed, colour):
        r = random.Random(seed)
        phases = [r.uniform(0, 6.28) for _ in range(3)]
        pts = [(0, 75)]
        for x in range(0, 541, 4):
            y = base - amp * (0.5 * math.sin(x / 53 + phases[0]) + 0.3 * math.sin(x / 23 + phases[1])
                              + 0.2 * math.sin(x / 9 + phases[2]))
            pts.append((x, y))
        pts.append((540, 75))
        return f'<polygon points="{points(pts, 1)}" fill="{colour}"/>'

    return f'''<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny"
     width="540" height="75" viewBox="0 0 540 75">
<!-- Generated by assets/tools/make_skin.py: edit the script, not this file. -->
<defs>
{defs}
<linearGradient id="sky" x1="0" y1="0" x2="0" y2="75" gradientUnits="userSpaceOnUse">
  <stop offset="0" stop-color="#0A0F2A"/><stop offset="0.5" stop-color="#1F2C63"/>
  <stop offset="0.8" stop-color="#8C4F7A"/><stop offset="1" stop-color="#F08A5D"/>
</linearGradient>
<radialGradient id="sun" cx="432" cy="70" r="90" gradientUnits="userSpaceOnUse">
  <stop offset="0" stop-color="#FFE2A8" stop-opacity="0.95"/>
  <stop offset="0.25" stop-color="#FFA46B" stop-opacity="0.55"/>
  <stop offset="1" stop-color="#FF7A59" stop-opacity="0"/>
</radialGradient>
<linearGradient id="shade" x1="0" y1="0" x2="1" y2="0">
  <stop offset="0" stop-color="#000000" stop-opacity="0.55"/>
  <stop offset="0.45" stop-color="#000000" stop-opacity="0.1"/>
  <stop offset="1" stop-color="#000000" stop-opacity="0"/>
</linearGradient>
</defs>
<rect width="540" height="75" fill="url(#sky)"/>
{stars}
<rect width="540" height="75" fill="url(#sun)"/>
{hills(60, 14, 1, "#3B2D5A")}
{hills(66, 10, 2, "#221B3C")}
{hills(71, 7, 3, "#120F22")}
<rect width="540" height="75" fill="url(#shade)"/>
{rrect(12, 12, 52, 52, 13, 'fill="#000000" fill-opacity="0.35" stroke="#FFFFFF" stroke-opacity="0.12"')}
<g transform="translate(72,12) scale(1.4) translate(-26,-4)">{wordmark}</g>
{text(72, 40.5, "thanks for listening", 8, "#C8D6EE", weight="normal",
      extra='fill-opacity="0.8"')}
<path d="M0,0.5 H540 M0,74.5 H540" stroke="#FFFFFF" stroke-opacity="0.12"/>
</svg>
'''


def icon():
    defs, emblem, wordmark = logo_parts()
    return f'''<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny"
     width="256" height="256" viewBox="0 0 256 256">
<!-- Generated by assets/tools/make_skin.py: edit the script, not this file. -->
<defs>
{defs}
<linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#3A4150"/><stop offset="0.5" stop-color="#222731"/>
  <stop offset="1" stop-color="#12151B"/>
</linearGradient>
<linearGradient id="tileEdge" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#FFFFFF" stop-opacity="0.35"/>
  <stop offset="1" stop-color="#FFFFFF" stop-opacity="0.04"/>
</linearGradient>
</defs>
{rrect(8, 8, 240, 240, 54, 'fill="url(#tile)"')}
{rrect(9.5, 9.5, 237, 237, 52.5, 'fill="none" stroke="url(#tileEdge)" stroke-width="3"')}
<circle cx="128" cy="134" r="92" fill="#000000" fill-opacity="0.35"/>
<g transform="translate(128,128) scale(9.6) translate(-10,-10)">{emblem}</g>
</svg>
'''


def main(check=False):
    files = {
        os.path.join(SKIN, "Form11GiF1.txt"):
            "".join(f"{x - X_PLUS}, {y - Y_PLUS}\n" for x, y in integer_outline()),
        os.path.join(SKIN, "form1.svg"): form1(),
        os.path.join(SKIN, "banner.svg"): banner(),
        os.path.join(ICONS, "songwell.svg"): icon(),
    }
    stale = []
    for path, content in files.items():
        if check:
            if not os.path.isfile(path) or open(path).read() != content:
                stale.append(os.path.relpath(path, os.path.join(HERE, "..")))
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(content)
    if stale:
        sys.exit("make_skin.py: not what the design and the click areas give: " +
                 ", ".join(stale) + "; run assets/tools/make_skin.py and commit what it writes")


if __name__ == "__main__":
    main(check="--check" in sys.argv[1:])
