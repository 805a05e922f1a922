#!/usr/bin/env python3
"""Writes the skin's SVG artwork under skin/src/ and the generated key-button
layout fragments under skin/.

The pictures are drawn from simple geometry kept here so that the device
pictures and the buttons laid over them always agree: the keyboard's key caps
and the "kb_dkey_"/"kb_key_" buttons come from the same table, and so do the
mouse's LED positions and the "ms_dkey_" buttons.

Run it after changing the geometry: python3 skin/tools/make_art.py
The build never runs it; it only renders the committed SVG files.
"""
import math
import os

SKIN = os.path.normpath(os.path.join(os.path.dirname(__file__), ".."))
SRC = os.path.join(SKIN, "src")

# Colours of the dark theme; one accent colour.
BG = "#14161B"
PANEL = "#1B1E25"
RAISED = "#232731"
EDGE = "#2C313C"
TEXT = "#E6E9EF"
DIM = "#8A93A6"
ACCENT = "#0199CB"
ACCENT_HOT = "#19B5E8"
DANGER = "#E5484D"
FONT = "DejaVu Sans, Noto Sans, sans-serif"


def write(rel, text):
    path = os.path.join(SKIN, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as out:
        out.write(text)


def svg(rel, w, h, body, defs=""):
    text = (
        f'<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n'
    )
    if defs:
        text += f"<defs>\n{defs}\n</defs>\n"
    text += body + "\n</svg>\n"
    write(os.path.join("src", rel), text)


# ---------------------------------------------------------------- wordmark

# Stroke letters on a 14 x 20 grid; our own geometric alphabet.
LETTERS = {
    "Q": ("M3,0 H11 Q14,0 14,3 V17 Q14,20 11,20 H3 Q0,20 0,17 V3 Q0,0 3,0 Z M9,14 L15,21", 20),
    "U": ("M0,0 V15 Q0,20 5,20 H9 Q14,20 14,15 V0", 20),
    "E": ("M14,0 H0 V20 H14 M0,10 H10", 20),
    "L": ("M0,0 V20 H13", 18),
    "I": ("M1,0 V20", 8),
    "X": ("M0,0 L14,20 M14,0 L0,20", 20),
}


def wordmark(word, scale, stroke, colour, accent_last=True):
    x = 0.0
    parts = []
    for i, ch in enumerate(word):
        path, adv = LETTERS[ch]
        c = ACCENT if (accent_last and i == len(word) - 1) else colour
        parts.append(
            f'<path d="{path}" transform="translate({x:.1f},0)" fill="none" stroke="{c}" '
            f'stroke-width="{stroke / scale:.2f}" stroke-linecap="square" stroke-linejoin="miter"/>'
        )
        x += adv
    width = x - 6
    return parts, width


def make_logo():
    # Caption logo: small wordmark, 132 x 22.
    parts, width = wordmark("QUELLIX", 0.9, 2.6, TEXT)
    body = f'<g transform="translate(3,1.6) scale(0.9)">{"".join(parts)}</g>'
    svg("common/logo.svg", 132, 22, body)
    # Large wordmark for the about window, 300 x 52.
    parts, width = wordmark("QUELLIX", 2.0, 4.5, TEXT)
    body = f'<g transform="translate(8,4) scale(2.0)">{"".join(parts)}</g>'
    svg("common/logo_large.svg", 300, 52, body)


def make_app_icon():
    defs = (
        f'<linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
        f'<stop offset="0" stop-color="#2A2F3A"/><stop offset="1" stop-color="{BG}"/></linearGradient>'
    )
    body = (
        '<rect x="2" y="2" width="60" height="60" rx="14" fill="url(#g)" stroke="#3A404D" stroke-width="1.5"/>'
        f'<path d="M22,14 H42 Q50,14 50,22 V40 Q50,48 42,48 H22 Q14,48 14,40 V22 Q14,14 22,14 Z" '
        f'fill="none" stroke="{ACCENT}" stroke-width="6"/>'
        f'<path d="M36,38 L50,52" stroke="{ACCENT_HOT}" stroke-width="6" stroke-linecap="square"/>'
    )
    svg("common/app_icon.svg", 64, 64, body, defs)
    text = open(os.path.join(SRC, "common/app_icon.svg"), encoding="utf-8").read()
    path = os.path.join(SKIN, "..", "packaging", "icons", "quellix.svg")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as out:
        out.write(text)


# ---------------------------------------------------------------- backgrounds

BACKGROUNDS = {
    # file: (top colour, bottom colour, glow colour)
    "common/background": ("#1A1D24", "#101216", "#0199CB"),
    "skin/bg_deepsea": ("#0F1B2A", "#080D14", "#1C6FD1"),
    "skin/bg_ember": ("#221417", "#0E0A0B", "#D1452C"),
    "skin/bg_aurora": ("#141A22", "#0B0E12", "#2CC79B"),
    "skin/bg_violet": ("#1B1526", "#0C0A12", "#8A4DFF"),
}


def make_backgrounds():
    for rel, (top, bottom, glow) in BACKGROUNDS.items():
        defs = (
            f'<linearGradient id="v" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/></linearGradient>'
            f'<radialGradient id="r" cx="0.85" cy="0.05" r="0.7">'
            f'<stop offset="0" stop-color="{glow}" stop-opacity="0.16"/>'
            f'<stop offset="1" stop-color="{glow}" stop-opacity="0"/></radialGradient>'
            f'<pattern id="p" width="8" height="8" patternUnits="userSpaceOnUse">'
            f'<path d="M0,8 L8,0" stroke="#FFFFFF" stroke-opacity="0.018" stroke-width="1"/></pattern>'
        )
        body = (
            '<rect width="800" height="572" fill="url(#v)"/>'
            '<rect width="800" height="572" fill="url(#r)"/>'
            '<rect width="800" height="572" fill="url(#p)"/>'
        )
        svg(rel + ".svg", 800, 572, body, defs)


# ---------------------------------------------------------------- caption icons

CAPTION_GLYPHS = {
    "close": "M11,11 L21,21 M21,11 L11,21",
    "min": "M10,16.5 H22",
    "max": "M10.5,10.5 H21.5 V21.5 H10.5 Z",
    "restore": "M10.5,13.5 H18.5 V21.5 H10.5 Z M13.5,13.5 V10.5 H21.5 V18.5 H18.5",
    "menu": "M10,11 H22 M10,16 H22 M10,21 H22",
    # A paint drop: the background chooser.
    "skin": "M16,9 C19,13 22,16 22,19 A6,6 0 0 1 10,19 C10,16 13,13 16,9 Z",
}


def make_caption_buttons():
    for name, glyph in CAPTION_GLYPHS.items():
        for state in ("normal", "hot", "pushed"):
            if state == "normal":
                bg, ink = "none", "#AEB6C6"
            elif name == "close":
                bg, ink = DANGER if state == "hot" else "#B83A3E", "#FFFFFF"
            else:
                bg, ink = RAISED if state == "hot" else EDGE, "#FFFFFF"
            body = ""
            if bg != "none":
                body += f'<rect x="1" y="1" width="30" height="30" rx="7" fill="{bg}"/>'
            body += (
                f'<path d="{glyph}" fill="none" stroke="{ink}" stroke-width="1.8" '
                'stroke-linecap="round" stroke-linejoin="round"/>'
            )
            svg(f"common/{name}_{state}.svg", 32, 32, body)


# ---------------------------------------------------------------- page tab icons

def device_glyph(kind, ink):
    if kind == "kb":
        keys = "".join(
            f'<rect x="{3 + c * 4.5:.1f}" y="{8 + r * 4.5:.1f}" width="3" height="3" rx="0.6" fill="{ink}"/>'
            for r in range(2)
            for c in range(5)
        )
        return (
            f'<rect x="1" y="5" width="24" height="15" rx="3" fill="none" stroke="{ink}" stroke-width="1.6"/>'
            + keys
            + f'<rect x="7" y="16.5" width="12" height="2" rx="1" fill="{ink}"/>'
        )
    if kind == "ms":
        return (
            f'<path d="M13,2 C18,2 20,6 20,11 V17 C20,21.5 17,24 13,24 C9,24 6,21.5 6,17 V11 C6,6 8,2 13,2 Z" '
            f'fill="none" stroke="{ink}" stroke-width="1.6"/>'
            f'<path d="M13,2 V11 M6,11 H20" stroke="{ink}" stroke-width="1.4"/>'
            f'<rect x="11.6" y="5" width="2.8" height="4.5" rx="1.4" fill="{ink}"/>'
        )
    if kind == "mp":
        return (
            f'<rect x="1.5" y="5" width="23" height="16" rx="3" fill="none" stroke="{ink}" stroke-width="1.6"/>'
            f'<rect x="4.5" y="8" width="17" height="10" rx="1.5" fill="none" stroke="{ink}" '
            'stroke-width="1" stroke-dasharray="2 1.5"/>'
            f'<rect x="11" y="3" width="4" height="3" rx="1" fill="{ink}"/>'
        )
    if kind == "ani":
        return (
            f'<circle cx="13" cy="13" r="9" fill="none" stroke="{ink}" stroke-width="1.6"/>'
            f'<path d="M10.5,8.5 L18,13 L10.5,17.5 Z" fill="{ink}"/>'
        )
    # "split": two panes.
    return (
        f'<rect x="2" y="5" width="22" height="16" rx="3" fill="none" stroke="{ink}" stroke-width="1.6"/>'
        f'<path d="M13,5 V21" stroke="{ink}" stroke-width="1.6"/>'
    )


def make_page_tabs():
    # 132 x 36 option images; the icon sits left, the option's text is centred.
    for kind in ("kb", "ms", "mp", "ani", "split"):
        for state in ("normal", "hot", "sel"):
            ink = {"normal": DIM, "hot": TEXT, "sel": ACCENT_HOT}[state]
            body = ""
            if state == "hot":
                body += f'<rect x="0.5" y="2.5" width="131" height="31" rx="8" fill="{RAISED}"/>'
            if state == "sel":
                body += (
                    f'<rect x="0.5" y="2.5" width="131" height="31" rx="8" fill="{ACCENT}" fill-opacity="0.14" '
                    f'stroke="{ACCENT}" stroke-opacity="0.55"/>'
                )
            body += f'<g transform="translate(10,5)">{device_glyph(kind, ink)}</g>'
            svg(f"common/tab_{kind}_{state}.svg", 132, 36, body)


def make_controls():
    # Sub-page tabs inside a device page: 9-slice, corner 8.
    svg("common/subtab_hot.svg", 40, 32, f'<rect x="0.5" y="0.5" width="39" height="31" rx="7" fill="{RAISED}"/>')
    svg(
        "common/subtab_sel.svg",
        40,
        32,
        f'<rect x="0.5" y="0.5" width="39" height="31" rx="7" fill="{RAISED}"/>'
        f'<rect x="8" y="28" width="24" height="3" rx="1.5" fill="{ACCENT}"/>',
    )
    # Buttons: 9-slice, corner 6.
    for state, fill, stroke in (
        ("normal", "#262A34", "#343A47"),
        ("hot", "#2E3340", "#445063"),
        ("pushed", "#1F232B", ACCENT),
        ("disabled", "#1E2128", "#272B34"),
    ):
        defs = (
            '<linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="#FFFFFF" stop-opacity="0.05"/>'
            f'<stop offset="1" stop-color="#FFFFFF" stop-opacity="0"/></linearGradient>'
        )
        body = (
            f'<rect x="0.5" y="0.5" width="23" height="23" rx="5.5" fill="{fill}" stroke="{stroke}"/>'
            '<rect x="1" y="1" width="22" height="11" rx="5" fill="url(#g)"/>'
        )
        svg(f"common/btn_{state}.svg", 24, 24, body, defs)
    for state, fill in (("normal", ACCENT), ("hot", ACCENT_HOT), ("pushed", "#017FA9")):
        svg(
            f"common/btn_accent_{state}.svg",
            24,
            24,
            f'<rect x="0" y="0" width="24" height="24" rx="6" fill="{fill}"/>',
        )
    # Toggle pills for options and check boxes: 9-slice, corner 10.
    for state, fill, stroke in (
        ("off", "#20242C", "#343A47"),
        ("hot", "#282D37", "#4A5568"),
        ("on", "#0A3A4C", ACCENT),
        ("disabled", "#1A1D23", "#24282F"),
    ):
        svg(
            f"common/pill_{state}.svg",
            28,
            24,
            f'<rect x="0.5" y="0.5" width="27" height="23" rx="11.5" fill="{fill}" stroke="{stroke}"/>',
        )
    # Edit and combo frames: 9-slice, corner 6; the combo's arrow is in the
    # right slice (corner right 26).
    svg("common/edit.svg", 24, 24, f'<rect x="0.5" y="0.5" width="23" height="23" rx="5" fill="#111318" stroke="#343A47"/>')
    svg("common/edit_hot.svg", 24, 24, f'<rect x="0.5" y="0.5" width="23" height="23" rx="5" fill="#111318" stroke="{ACCENT}"/>')
    for state, stroke in (("normal", "#343A47"), ("hot", "#4A5568"), ("pushed", ACCENT), ("disabled", "#272B34")):
        arrow = DIM if state != "disabled" else "#3A404D"
        svg(
            f"common/combo_{state}.svg",
            40,
            26,
            f'<rect x="0.5" y="0.5" width="39" height="25" rx="5.5" fill="#1C1F26" stroke="{stroke}"/>'
            f'<path d="M24,11 L28,15 L32,11" fill="none" stroke="{arrow}" stroke-width="1.6" '
            'stroke-linecap="round" stroke-linejoin="round"/>',
        )
    # Slider: track (bkimage), filled part (foreimage), thumb.
    # Track and filled part are as tall as the slider control (16) so that
    # they stretch only sideways.
    svg("common/slider_track.svg", 20, 16, f'<rect x="0" y="5" width="20" height="6" rx="3" fill="#2C313C"/>')
    defs = (
        '<linearGradient id="g" x1="0" y1="0" x2="1" y2="0">'
        f'<stop offset="0" stop-color="#017FA9"/><stop offset="1" stop-color="{ACCENT_HOT}"/></linearGradient>'
    )
    svg("common/slider_fore.svg", 20, 16, '<rect x="0" y="5" width="20" height="6" rx="3" fill="url(#g)"/>', defs)
    for state, ring in (("normal", ACCENT), ("hot", ACCENT_HOT)):
        svg(
            f"common/slider_thumb_{state}.svg",
            16,
            16,
            f'<circle cx="8" cy="8" r="6.5" fill="#E9EDF3" stroke="{ring}" stroke-width="2.5"/>',
        )
    # Scroll and list item backgrounds: 9-slice, corner 4.
    svg("common/item_hot.svg", 12, 12, f'<rect width="12" height="12" rx="4" fill="{RAISED}"/>')
    svg("common/item_sel.svg", 12, 12, f'<rect width="12" height="12" rx="4" fill="{ACCENT}" fill-opacity="0.28"/>')
    # Small square buttons for pattern steps ("bullets"): 9-slice, corner 5.
    for state, fill, stroke in (
        ("normal", "#20242C", "#343A47"),
        ("hot", "#282D37", "#4A5568"),
        ("sel", ACCENT, ACCENT_HOT),
    ):
        svg(
            f"common/step_{state}.svg",
            24,
            24,
            f'<rect x="0.5" y="0.5" width="23" height="23" rx="5" fill="{fill}" stroke="{stroke}"/>',
        )
    # Icons for small buttons: arrows, plus, minus and others.
    icons = {
        "plus": "M8,3 V13 M3,8 H13",
        "minus": "M3,8 H13",
        "up": "M4,10 L8,6 L12,10",
        "down": "M4,6 L8,10 L12,6",
        "top": "M4,3 H12 M4,11 L8,7 L12,11",
        "bottom": "M4,13 H12 M4,5 L8,9 L12,5",
        "left": "M10,4 L6,8 L10,12",
        "right": "M6,4 L10,8 L6,12",
        "delete": "M4,5 H12 M6,5 V3.5 H10 V5 M5,5 L5.8,13 H10.2 L11,5",
        "record": None,
        "gear": None,
    }
    for name, path in icons.items():
        for state, ink in (("normal", "#AEB6C6"), ("hot", "#FFFFFF")):
            if name == "record":
                body = f'<circle cx="8" cy="8" r="4.5" fill="{DANGER if state == "hot" else "#C7444A"}"/>'
            elif name == "gear":
                teeth = "".join(
                    f'<rect x="7" y="1" width="2" height="3" fill="{ink}" transform="rotate({a} 8 8)"/>'
                    for a in range(0, 360, 45)
                )
                body = teeth + f'<circle cx="8" cy="8" r="4.2" fill="none" stroke="{ink}" stroke-width="2"/>'
            else:
                body = (
                    f'<path d="{path}" fill="none" stroke="{ink}" stroke-width="1.7" '
                    'stroke-linecap="round" stroke-linejoin="round"/>'
                )
            # Drawn on the 28 x 28 face of the small square buttons.
            svg(f"common/icon_{name}_{state}.svg", 28, 28, f'<g transform="translate(6,6)">{body}</g>')
    # Faces the macro page gives its "to top" button: hot while usable, and
    # the disabled face once the list is empty (the icon is drawn on top).
    svg("common/up_top_over.svg", 28, 28, '<rect x="0.5" y="0.5" width="27" height="27" rx="6" fill="#2E3340" stroke="#445063"/>')
    svg("common/unuse.svg", 28, 28, '<rect x="0.5" y="0.5" width="27" height="27" rx="6" fill="#1E2128" stroke="#272B34"/>')
    # Light pictures of the previews. The view paints the light colour over
    # the picture's own pixels as strongly as the light's level, so the
    # pictures are dark: a dim light then looks dark, a full one has the
    # light's colour.
    defs = (
        '<radialGradient id="g"><stop offset="0" stop-color="#000000"/>'
        '<stop offset="0.45" stop-color="#000000" stop-opacity="0.85"/>'
        '<stop offset="1" stop-color="#000000" stop-opacity="0"/></radialGradient>'
    )
    svg("common/led_glow.svg", 20, 20, '<circle cx="10" cy="10" r="10" fill="url(#g)"/>', defs)
    # Key-set mark and keycap highlights for the keyboard pictures (9-slice, corner 6).
    svg("common/keyset_mark.svg", 12, 12, f'<circle cx="6" cy="6" r="3" fill="{ACCENT_HOT}"/>')
    svg(
        "kb/key_light.svg",
        24,
        24,
        '<rect x="1" y="1" width="22" height="22" rx="4" fill="#000000" fill-opacity="0.5"/>'
        '<rect x="1" y="1" width="22" height="22" rx="4" fill="none" stroke="#000000" stroke-width="2"/>',
    )
    svg(
        "kb/key_hot.svg",
        24,
        24,
        f'<rect x="1" y="1" width="22" height="22" rx="4" fill="{ACCENT}" fill-opacity="0.18" '
        f'stroke="{ACCENT_HOT}" stroke-width="1.5"/>',
    )
    svg(
        "kb/key_sel.svg",
        24,
        24,
        f'<rect x="1" y="1" width="22" height="22" rx="4" fill="{ACCENT}" fill-opacity="0.45" '
        f'stroke="{ACCENT_HOT}" stroke-width="2"/>',
    )
    # Press and release marks of macro actions; the labels holding them are
    # about a third of the action list wide.
    svg("common/macro_down.svg", 96, 30, f'<path d="M14,9 V21 M9,16 L14,21 L19,16" fill="none" stroke="{ACCENT_HOT}" '
        'stroke-width="1.8" stroke-linecap="round" stroke-linejoin="round"/>')
    svg("common/macro_up.svg", 96, 30, '<path d="M14,21 V9 M9,14 L14,9 L19,14" fill="none" stroke="#F2B233" '
        'stroke-width="1.8" stroke-linecap="round" stroke-linejoin="round"/>')
    # Message box and about window decorations.
    svg(
        "common/msg_info.svg",
        40,
        40,
        f'<circle cx="20" cy="20" r="18" fill="{ACCENT}" fill-opacity="0.16" stroke="{ACCENT}" stroke-width="2"/>'
        f'<rect x="18.2" y="17" width="3.6" height="12" rx="1.8" fill="{ACCENT_HOT}"/>'
        f'<circle cx="20" cy="12" r="2.2" fill="{ACCENT_HOT}"/>',
    )
    # Progress ring backdrop for the upload indicator.
    svg(
        "common/progress_bk.svg",
        72,
        72,
        f'<circle cx="36" cy="36" r="35" fill="{PANEL}" stroke="{EDGE}" stroke-width="2"/>',
    )


# ---------------------------------------------------------------- keyboard

U = 31.0  # key pitch in pixels
KB_MARGIN = 14.0

# (picture index, x, y, width, height, label) in key units; picture indexes
# follow the keyboard picture numbering used by the key tables (rows of 21).
KEYS = []


def row(y, start_x, entries):
    x = start_x
    for entry in entries:
        if entry is None:
            x += 0.5
            continue
        if isinstance(entry, float):
            x += entry
            continue
        index, label, *rest = entry
        w = rest[0] if rest else 1.0
        h = rest[1] if len(rest) > 1 else 1.0
        KEYS.append((index, x, y, w, h, label))
        x += w


def build_keyboard():
    KEYS.clear()
    # Row 0: Esc, function keys in groups of four, print/scroll/pause.
    row(0, 0, [(0, "Esc"), 1.0] + [(i, f"F{i}") for i in range(1, 5)] + [None]
        + [(i, f"F{i}") for i in range(5, 9)] + [None] + [(i, f"F{i}") for i in range(9, 13)]
        + [0.25, (13, "PrtSc"), (14, "ScrLk"), (15, "Pause")])
    # Row 1: number row, navigation, numeric pad top.
    digits = ["1", "2", "3", "4", "5", "6", "7", "8", "9", "0"]
    row(1.25, 0, [(21, "`")] + [(22 + i, d) for i, d in enumerate(digits)]
        + [(32, "-"), (33, "="), (34, "Bksp", 2.0), 0.25, (35, "Ins"), (36, "Home"), (37, "PgUp"), 0.25,
           (38, "Num"), (39, "/"), (40, "*"), (41, "-")])
    # Row 2: Tab row; Enter spans rows 2 and 3; numeric + spans rows 2 and 3.
    qwerty = "QWERTYUIOP"
    row(2.25, 0, [(42, "Tab", 1.5)] + [(43 + i, c) for i, c in enumerate(qwerty)]
        + [(53, "["), (54, "]"), 0.25, (75, "Enter", 1.25, 2.0), 0.25, (56, "Del"), (57, "End"), (58, "PgDn"), 0.25,
           (59, "7"), (60, "8"), (61, "9"), (119, "+", 1.0, 2.0)])
    # Row 3: home row with the key left of Enter.
    home = "ASDFGHJKL"
    row(3.25, 0, [(63, "Caps", 1.75)] + [(64 + i, c) for i, c in enumerate(home)]
        + [(73, ";"), (74, "'"), (55, "\\"), 1.25, 0.25, 3.0, 0.25, (76, "4"), (77, "5"), (78, "6")])
    # Row 4: shift row with the extra key left of Z.
    bottom = "ZXCVBNM"
    row(4.25, 0, [(84, "Shift", 1.25), (80, "\\")] + [(85 + i, c) for i, c in enumerate(bottom)]
        + [(92, ","), (93, "."), (94, "/"), (95, "Shift", 2.75), 0.25, 1.0, (96, "\u2191"), 1.0, 0.25,
           (97, "1"), (98, "2"), (99, "3"), (118, "Ent", 1.0, 2.0)])
    # Row 5: modifiers, space, arrows, numeric 0 and decimal point.
    row(5.25, 0, [(105, "Ctrl", 1.25), (106, "Win", 1.25), (107, "Alt", 1.25), (108, "", 6.25),
                  (109, "Alt", 1.25), (110, "Fn", 1.25), (111, "Menu", 1.25), (112, "Ctrl", 1.25), 0.25,
                  (113, "\u2190"), (114, "\u2193"), (115, "\u2192"), 0.25, (116, "0", 2.0), (117, ".")])


def key_rect(x, y, w, h):
    """Pixel rectangle of a key cap inside the keyboard picture."""
    left = KB_MARGIN + x * U + 2
    top = KB_MARGIN + y * U + 2
    return left, top, w * U - 4, h * U - 4


def make_keyboard():
    build_keyboard()
    width = int(KB_MARGIN * 2 + 22.5 * U)
    height = int(KB_MARGIN * 2 + 6.25 * U)
    defs = (
        '<linearGradient id="case" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#2A2E37"/><stop offset="1" stop-color="#16181D"/></linearGradient>'
        '<linearGradient id="cap" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#30343E"/><stop offset="1" stop-color="#22252C"/></linearGradient>'
    )
    body = [
        f'<rect x="1" y="1" width="{width - 2}" height="{height - 2}" rx="12" fill="url(#case)" '
        'stroke="#3A404D" stroke-width="1.5"/>',
        f'<rect x="6" y="{height - 5}" width="{width - 12}" height="2" rx="1" fill="{ACCENT}" fill-opacity="0.55"/>',
    ]
    for index, x, y, w, h, label in KEYS:
        left, top, kw, kh = key_rect(x, y, w, h)
        body.append(
            f'<g id="key_{index}"><rect x="{left:.1f}" y="{top:.1f}" width="{kw:.1f}" height="{kh:.1f}" rx="4" '
            'fill="#15171C"/>'
            f'<rect x="{left + 1.5:.1f}" y="{top + 1:.1f}" width="{kw - 3:.1f}" height="{kh - 4:.1f}" rx="3.5" '
            'fill="url(#cap)" stroke="#3B404B" stroke-width="0.8"/>'
        )
        if label:
            size = 10 if len(label) <= 2 else 7.5
            body.append(
                f'<text x="{left + 5:.1f}" y="{top + 4 + size:.1f}" font-family="{FONT}" font-size="{size}" '
                f'fill="#C3C9D4">{escape(label)}</text>'
            )
        body.append("</g>")
    svg("kb/keyboard.svg", width, height, "\n".join(body), defs)
    return width, height


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def make_keyboard_fragments(width, height):
    """Layout fragments with one floating button per key cap, in a container
    the size of the keyboard picture."""
    light = [
        "<!-- Generated by skin/tools/make_art.py: light preview buttons over the keyboard picture. -->",
        f'<Container name="kb_lights_layout" width="{width}" height="{height}" bkimage="file=\'kb/keyboard.png\'">',
    ]
    assign = [
        "<!-- Generated by skin/tools/make_art.py: key buttons over the keyboard picture. -->",
        f'<Container name="kb_keymap_layout" width="{width}" height="{height}" bkimage="file=\'kb/keyboard.png\'">',
    ]
    for index, x, y, w, h, _label in sorted(KEYS):
        left, top, kw, kh = key_rect(x, y, w, h)
        pos = f"{int(left)},{int(top)},{int(left + kw)},{int(top + kh)}"
        light.append(
            f'  <DeviceKeyButton name="kb_dkey_{index}" float="true" pos="{pos}" '
            "lightimage=\"file='kb/key_light.png' corner='6,6,6,6'\" "
            "keysetimage=\"file='common/keyset_mark.png'\"/>"
        )
        assign.append(
            f'  <Button name="kb_key_{index}" float="true" pos="{pos}" '
            "hotimage=\"file='kb/key_hot.png' corner='6,6,6,6'\" "
            "pushedimage=\"file='kb/key_sel.png' corner='6,6,6,6'\"/>"
        )
    light.append("</Container>")
    assign.append("</Container>")
    write("kb/keys_light.xml", '<?xml version="1.0" encoding="utf-8"?>\n' + "\n".join(light) + "\n")
    write("kb/keys_assign.xml", '<?xml version="1.0" encoding="utf-8"?>\n' + "\n".join(assign) + "\n")


# ---------------------------------------------------------------- mouse

MOUSE_W, MOUSE_H = 220, 340
MOUSE_BODY = (
    "M110,12 C150,12 180,28 188,70 C196,110 202,160 196,210 C190,270 170,330 110,334 "
    "C50,330 30,270 24,210 C18,160 24,110 32,70 C40,28 70,12 110,12 Z"
)
MOUSE_PARTS = {
    # part: (path, name of the highlight images)
    "left": ("M104,16 C72,17 46,30 37,70 C31,97 28,120 27,146 C52,154 80,156 104,154 Z", "key_left"),
    "right": ("M116,16 C148,17 174,30 183,70 C189,97 192,120 193,146 C168,154 140,156 116,154 Z", "key_right"),
    "wheel": ("M101,40 H119 A4,4 0 0 1 123,44 V82 A4,4 0 0 1 119,86 H101 A4,4 0 0 1 97,82 V44 A4,4 0 0 1 101,40 Z",
              "key_wheel"),
    "dpi": ("M103,96 H117 A3,3 0 0 1 120,99 V108 A3,3 0 0 1 117,111 H103 A3,3 0 0 1 100,108 V99 A3,3 0 0 1 103,96 Z",
            "key_dpi"),
    "dpi1": ("M103,116 H117 A3,3 0 0 1 120,119 V128 A3,3 0 0 1 117,131 H103 A3,3 0 0 1 100,128 V119 A3,3 0 0 1 103,116 Z",
             "key_dpi"),
    "forward": ("M21,162 H27 V198 H21 A6,6 0 0 1 15,192 V168 A6,6 0 0 1 21,162 Z", "key_forward"),
    "back": ("M21,204 H27 V240 H21 A6,6 0 0 1 15,234 V210 A6,6 0 0 1 21,204 Z", "key_back"),
}


def cubic(p0, p1, p2, p3, t):
    u = 1 - t
    return tuple(u ** 3 * a + 3 * u * u * t * b + 3 * u * t * t * c + t ** 3 * d for a, b, c, d in zip(p0, p1, p2, p3))


def mouse_left_edge_x(y):
    """x of the body's left outline at height y (y between 70 and 330)."""
    segments = [((32, 70), (24, 110), (18, 160), (24, 210)), ((24, 210), (30, 270), (50, 330), (110, 334))]
    best = None
    for seg in segments:
        for i in range(401):
            px, py = cubic(*seg, i / 400)
            if best is None or abs(py - y) < abs(best[1] - y):
                best = (px, py)
    return best[0]


def mouse_led_positions():
    """Centres of the 20 mouse LEDs: 0..6 left strip, 7..13 right strip,
    14..19 the centre light bar, each at the height of its zone."""
    positions = {}
    band_y = [156 + i * 22 for i in range(7)]
    for i, y in enumerate(band_y):
        x = mouse_left_edge_x(y) + 9
        positions[i] = (x, y)
        positions[7 + i] = (MOUSE_W - x, y)
    # Centre bar: zones 0, 1 then 3..6 (zone 2 has no centre LED).
    for led, zone in ((19, 0), (18, 1), (14, 3), (15, 4), (16, 5), (17, 6)):
        positions[led] = (MOUSE_W / 2, band_y[zone] + 10)
    return positions


def make_mouse():
    defs = (
        '<linearGradient id="shell" x1="0" y1="0" x2="1" y2="1">'
        '<stop offset="0" stop-color="#343945"/><stop offset="0.55" stop-color="#22252D"/>'
        '<stop offset="1" stop-color="#17191E"/></linearGradient>'
        '<linearGradient id="btn" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#3A404C"/><stop offset="1" stop-color="#262A32"/></linearGradient>'
        '<linearGradient id="strip" x1="0" y1="0" x2="0" y2="1">'
        f'<stop offset="0" stop-color="{ACCENT_HOT}"/><stop offset="0.5" stop-color="#7A4DFF"/>'
        '<stop offset="1" stop-color="#E0407A"/></linearGradient>'
        '<filter id="soft" x="-20%" y="-20%" width="140%" height="140%">'
        '<feGaussianBlur stdDeviation="2.2"/></filter>'
    )
    leds = mouse_led_positions()
    left_strip = " ".join(f"{leds[i][0]:.1f},{leds[i][1]:.1f}" for i in range(7))
    right_strip = " ".join(f"{leds[7 + i][0]:.1f},{leds[7 + i][1]:.1f}" for i in range(7))
    body = [
        f'<ellipse cx="110" cy="332" rx="70" ry="6" fill="#000000" fill-opacity="0.35"/>',
        f'<path d="{MOUSE_BODY}" fill="url(#shell)" stroke="#474D5A" stroke-width="1.5"/>',
        # Side light strips with their glow.
        f'<polyline points="{left_strip}" fill="none" stroke="url(#strip)" stroke-width="6" '
        'stroke-linecap="round" opacity="0.6" filter="url(#soft)"/>',
        f'<polyline points="{left_strip}" fill="none" stroke="url(#strip)" stroke-width="2.5" stroke-linecap="round"/>',
        f'<polyline points="{right_strip}" fill="none" stroke="url(#strip)" stroke-width="6" '
        'stroke-linecap="round" opacity="0.6" filter="url(#soft)"/>',
        f'<polyline points="{right_strip}" fill="none" stroke="url(#strip)" stroke-width="2.5" stroke-linecap="round"/>',
        # Centre light bar on the palm.
        f'<rect x="106" y="160" width="8" height="148" rx="4" fill="#101216" stroke="#3B404B"/>',
        f'<rect x="108" y="164" width="4" height="140" rx="2" fill="url(#strip)" opacity="0.85"/>',
    ]
    for name in ("left", "right"):
        body.append(f'<path d="{MOUSE_PARTS[name][0]}" fill="url(#btn)" stroke="#4C5260" stroke-width="1"/>')
    for name in ("wheel", "dpi", "dpi1", "forward", "back"):
        body.append(f'<path d="{MOUSE_PARTS[name][0]}" fill="#2B2F38" stroke="#5A6070" stroke-width="1"/>')
    # Wheel ribs.
    for i in range(8):
        y = 46 + i * 5
        body.append(f'<rect x="101" y="{y}" width="18" height="1.6" rx="0.8" fill="#4E5563"/>')
    # The Q mark near the tail.
    body.append(
        f'<g transform="translate(99,312) scale(0.75)"><path d="{LETTERS["Q"][0]}" fill="none" '
        f'stroke="{ACCENT}" stroke-width="2.6"/></g>'
    )
    svg("ms/mouse.svg", MOUSE_W, MOUSE_H, "\n".join(body), defs)

    # Highlight overlays: the size of the whole picture, one part drawn.
    for part, (path, image) in MOUSE_PARTS.items():
        suffix = "1" if part == "dpi1" else ""
        svg(
            f"ms/{image}_normal{suffix}.svg",
            MOUSE_W,
            MOUSE_H,
            f'<path d="{path}" fill="none" stroke="#FFFFFF" stroke-opacity="0.08" stroke-width="1"/>',
        )
        svg(
            f"ms/{image}_down{suffix}.svg",
            MOUSE_W,
            MOUSE_H,
            f'<path d="{path}" fill="{ACCENT}" fill-opacity="0.45" stroke="{ACCENT_HOT}" stroke-width="2"/>',
        )
    return leds


def make_mouse_fragment(leds):
    lines = [
        "<!-- Generated by skin/tools/make_art.py: light preview buttons over the mouse picture. -->",
        f'<Container name="ms_lights_layout" width="{MOUSE_W}" height="{MOUSE_H}" bkimage="file=\'ms/mouse.png\'">',
    ]
    for led in range(20):
        x, y = leds[led]
        pos = f"{int(x - 8)},{int(y - 8)},{int(x + 8)},{int(y + 8)}"
        lines.append(
            f'  <DeviceKeyButton name="ms_dkey_{led}" float="true" pos="{pos}" '
            "lightimage=\"file='common/led_glow.png'\"/>"
        )
    lines.append("</Container>")
    write("ms/leds.xml", '<?xml version="1.0" encoding="utf-8"?>\n' + "\n".join(lines) + "\n")


# ---------------------------------------------------------------- mouse pad

PAD_W, PAD_H = 440, 270


def pad_led_positions():
    """15 LEDs around the pad's edge strip, left to right: three up the left
    edge, nine along the top, three down the right edge."""
    positions = []
    for y in (205, 140, 75):
        positions.append((12, y))
    for i in range(9):
        positions.append((60 + i * 40, 12))
    for y in (75, 140, 205):
        positions.append((PAD_W - 12, y))
    return positions


def make_pad():
    defs = (
        '<linearGradient id="surface" x1="0" y1="0" x2="1" y2="1">'
        '<stop offset="0" stop-color="#23262E"/><stop offset="1" stop-color="#15171B"/></linearGradient>'
        '<linearGradient id="rgb" x1="0" y1="0" x2="1" y2="0">'
        '<stop offset="0" stop-color="#E0407A"/><stop offset="0.25" stop-color="#7A4DFF"/>'
        f'<stop offset="0.5" stop-color="{ACCENT_HOT}"/><stop offset="0.75" stop-color="#2CC79B"/>'
        '<stop offset="1" stop-color="#F2B233"/></linearGradient>'
        '<pattern id="weave" width="6" height="6" patternUnits="userSpaceOnUse">'
        '<path d="M0,3 H6 M3,0 V6" stroke="#FFFFFF" stroke-opacity="0.025" stroke-width="1"/></pattern>'
        '<filter id="soft" x="-10%" y="-10%" width="120%" height="120%"><feGaussianBlur stdDeviation="3"/></filter>'
    )
    body = [
        f'<rect x="12" y="12" width="{PAD_W - 24}" height="{PAD_H - 24}" rx="16" fill="none" stroke="url(#rgb)" '
        'stroke-width="10" opacity="0.55" filter="url(#soft)"/>',
        f'<rect x="6" y="6" width="{PAD_W - 12}" height="{PAD_H - 12}" rx="18" fill="url(#surface)" stroke="url(#rgb)" stroke-width="4"/>',
        f'<rect x="14" y="14" width="{PAD_W - 28}" height="{PAD_H - 28}" rx="12" fill="url(#weave)"/>',
        # Cable block at the top edge.
        f'<rect x="{PAD_W - 96}" y="1" width="44" height="14" rx="4" fill="#2B2F38" stroke="#4C5260"/>',
        f'<rect x="{PAD_W - 80}" y="4" width="12" height="4" rx="1" fill="{ACCENT}"/>',
    ]
    parts, width = wordmark("QUELLIX", 0.9, 2.4, "#5A6070")
    body.append(f'<g transform="translate({PAD_W - 40 - width * 0.9:.0f},{PAD_H - 42}) scale(0.9)">{"".join(parts)}</g>')
    svg("mp/mousepad.svg", PAD_W, PAD_H, "\n".join(body), defs)
    return pad_led_positions()


def make_pad_fragment(leds):
    lines = [
        "<!-- Generated by skin/tools/make_art.py: light preview buttons over the mouse pad picture. -->",
        f'<Container name="mp_lights_layout" width="{PAD_W}" height="{PAD_H}" bkimage="file=\'mp/mousepad.png\'">',
    ]
    for led, (x, y) in enumerate(leds):
        pos = f"{int(x - 9)},{int(y - 9)},{int(x + 9)},{int(y + 9)}"
        lines.append(
            f'  <DeviceKeyButton name="mp_dkey_{led}" float="true" pos="{pos}" '
            "lightimage=\"file='common/led_glow.png'\"/>"
        )
    lines.append("</Container>")
    write("mp/leds.xml", '<?xml version="1.0" encoding="utf-8"?>\n' + "\n".join(lines) + "\n")


def main():
    make_logo()
    make_app_icon()
    make_backgrounds()
    make_caption_buttons()
    make_page_tabs()
    make_controls()
    width, height = make_keyboard()
    make_keyboard_fragments(width, height)
    leds = make_mouse()
    make_mouse_fragment(leds)
    make_pad_fragment(make_pad())


if __name__ == "__main__":
    main()
