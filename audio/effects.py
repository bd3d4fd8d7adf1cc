"""The short effects, one recipe each. They are heard hundreds of times, so they stay short,
soft at the top end and a little below the music in pitch where they can.
Each recipe draws on a fresh tape; the maker trims and levels it afterwards."""
from chip import Tape, note_freq as n


def tap(t):
    # Any button: a soft two-step blip, 60 ms.
    t.tone(0.0, 0.018, n("A5"), "square", duty=0.25, volume=0.35, decay=0.02, sustain=0.5, release=0.01)
    t.tone(0.018, 0.02, n("E6"), "triangle", volume=0.5, decay=0.03, sustain=0.3, release=0.02)


def tap_fail(t):
    # Cancel, refuse, "not enough gold": two low falling notes, dull rather than harsh.
    t.tone(0.0, 0.05, n("E4"), "square", duty=0.5, volume=0.3, decay=0.04, sustain=0.5, release=0.02)
    t.tone(0.075, 0.08, n("B3"), "square", duty=0.5, volume=0.3, decay=0.06, sustain=0.4, release=0.04,
           slide_to=n("A3"))


def menu_tap(t):
    # Opening the shop, the map or the collection (and the reminder): a rising pair.
    t.tone(0.0, 0.045, n("E5"), "square", duty=0.125, volume=0.3, sustain=0.5, release=0.02)
    t.tone(0.06, 0.09, n("B5"), "square", duty=0.125, volume=0.3, sustain=0.4, release=0.06)
    t.tone(0.06, 0.09, n("B4"), "triangle", volume=0.3, sustain=0.4, release=0.06)


def check(t):
    # Touching a person who came back: a quick sparkle up three notes.
    for k, name in enumerate(("G5", "B5", "D6")):
        t.tone(0.03 * k, 0.025, n(name), "triangle", volume=0.5, decay=0.03, sustain=0.4, release=0.04)
    t.tone(0.09, 0.04, n("G6"), "square", duty=0.25, volume=0.12, decay=0.05, sustain=0.2, release=0.06)


def pochi_short(t):
    # The person lifts the catch over the head: a small "pop".
    t.tone(0.0, 0.035, n("C5"), "square", duty=0.5, volume=0.3, attack=0.002, decay=0.03,
           sustain=0.3, release=0.02, slide_to=n("C6"))


def drop(t):
    # The catch falls towards the king: a falling whistle and a soft landing thump.
    t.tone(0.0, 0.17, n("A6"), "square", duty=0.25, volume=0.18, decay=0.1, sustain=0.6, release=0.03,
           slide_to=n("A4"))
    t.tone(0.19, 0.06, 160, "triangle", volume=0.6, attack=0.002, decay=0.08, sustain=0.0, release=0.0,
           slide_to=60)
    t.tone(0.19, 0.03, 2500, "noise", volume=0.12, attack=0.001, decay=0.04, sustain=0.0, release=0.0)


def coinget(t):
    # Gold for the king: the classic two-note coin, short tail.
    t.tone(0.0, 0.06, n("B5"), "square", duty=0.25, volume=0.3, decay=0.02, sustain=0.8, release=0.0)
    t.tone(0.06, 0.05, n("E6"), "square", duty=0.25, volume=0.3, decay=0.25, sustain=0.0, release=0.0)
    t.tone(0.06, 0.3, n("E6"), "square", duty=0.25, volume=0.3, attack=0.001, decay=0.3, sustain=0.0,
           release=0.0)


def levelup(t):
    # A new party member, a new dungeon, the end of an explore: a bright climbing fanfare.
    for k, name in enumerate(("C5", "E5", "G5", "C6", "E6")):
        t.tone(0.06 * k, 0.05, n(name), "square", duty=0.25, volume=0.25, sustain=0.7, release=0.02)
    t.tone(0.32, 0.35, n("G6"), "square", duty=0.25, volume=0.22, decay=0.3, sustain=0.5, release=0.2,
           vibrato=0.25, vibrato_delay=0.1)
    t.tone(0.32, 0.35, n("C6"), "triangle", volume=0.35, decay=0.3, sustain=0.5, release=0.2)


def se_charge(t):
    # The party marches out: a bugle call, ta-ta-ta taaa.
    for at, name, length in ((0.0, "G4", 0.07), (0.1, "C5", 0.07), (0.2, "E5", 0.07), (0.3, "G5", 0.12),
                             (0.45, "E5", 0.07), (0.55, "G5", 0.35)):
        t.tone(at, length, n(name), "square", duty=0.5, volume=0.2, attack=0.01, decay=0.05, sustain=0.7,
               release=0.05, vibrato=0.2 if length > 0.2 else 0.0, vibrato_delay=0.12)
        t.tone(at, length, n(name) / 2, "triangle", volume=0.25, attack=0.01, sustain=0.7, release=0.05)
    t.snare(0.55, 0.15)


def se001(t):
    # A fight far away shakes the screen: a low boom with a rumble, no hard crack.
    t.tone(0.0, 0.05, 110, "sine", volume=0.8, attack=0.002, decay=0.35, sustain=0.0, release=0.0,
           slide_to=35)
    t.tone(0.0, 0.05, 110, "sine", volume=0.8, attack=0.002, decay=0.05, sustain=1.0, release=0.3,
           slide_to=40)
    t.tone(0.0, 0.08, 900, "noise", volume=0.3, attack=0.002, decay=0.25, sustain=0.0, release=0.0)
    t.tone(0.05, 0.1, 300, "noise", volume=0.15, attack=0.01, decay=0.2, sustain=0.0, release=0.0)


def start(t):
    # Leaving the title: the fanfare that opens the expedition.
    lead = ((0.0, "G4", 0.1), (0.12, "G4", 0.1), (0.24, "G4", 0.1), (0.36, "C5", 0.3), (0.72, "E5", 0.1),
            (0.84, "D5", 0.1), (0.96, "E5", 0.1), (1.08, "G5", 0.55))
    for at, name, length in lead:
        t.tone(at, length, n(name), "square", duty=0.25, volume=0.2, sustain=0.7, release=0.06,
               vibrato=0.2 if length > 0.3 else 0.0, vibrato_delay=0.15)
    harmony = ((0.36, "E4", 0.3), (0.72, "G4", 0.32), (1.08, "E5", 0.55))
    for at, name, length in harmony:
        t.tone(at, length, n(name), "square", duty=0.5, volume=0.1, sustain=0.7, release=0.06)
    for at, name, length in ((0.36, "C3", 0.3), (0.72, "G2", 0.32), (1.08, "C3", 0.55)):
        t.tone(at, length, n(name), "triangle", volume=0.35, sustain=0.8, release=0.06)
    for at in (0.0, 0.12, 0.24):
        t.snare(at, 0.12)
    t.kick(0.36, 0.4)
    t.kick(1.08, 0.4)
    t.hat(0.72)


def swichi_edit(t):
    # The notification switch: a tidy click-clack.
    t.tone(0.0, 0.012, n("E6"), "square", duty=0.5, volume=0.25, attack=0.001, decay=0.01, sustain=0.3,
           release=0.01)
    t.tone(0.04, 0.015, n("A5"), "square", duty=0.5, volume=0.25, attack=0.001, decay=0.01, sustain=0.3,
           release=0.015)


# File name stem -> (recipe, length of the tape in seconds)
EFFECTS = {
    "tap": (tap, 0.12),
    "tap_fail": (tap_fail, 0.25),
    "menu_tap": (menu_tap, 0.25),
    "check": (check, 0.2),
    "pochi_short": (pochi_short, 0.1),
    "drop": (drop, 0.35),
    "coinget": (coinget, 0.4),
    "levelup": (levelup, 0.95),
    "se_charge": (se_charge, 1.05),
    "SE001": (se001, 0.5),
    "start": (start, 1.75),
    "swichi_edit": (swichi_edit, 0.1),
}


def render(stem):
    recipe, seconds = EFFECTS[stem]
    tape = Tape(seconds)
    recipe(tape)
    # The same loudness for every effect; short ones land near the ceiling anyway.
    tape.normalize(-16.0, peak_db=-3.0, window=0.05)
    # The last few milliseconds fade out, so no effect can end on a click.
    fade = int(0.005 * len(tape.samples) / seconds)
    for k in range(fade):
        tape.samples[-1 - k] *= k / fade
    return tape
