"""Dungeons 2 and 9, the cave: slow, hollow and echoing, with water dripping. A minor, 92."""
from chip import Song

CHORDS = "Am Am F F Dm Dm E E"


def song():
    s = Song(tempo=92, bars=8)
    s.melody("""
        A4 . . . C5 . E5 . | D5 . . . . . - - | C5 . . . A4 . F4 . | G4 . . . . . - - |
        F4 . A4 . D5 . F5 . | E5 . . . D5 . C5 . | B4 . . . G#4 . . . | E4 . . . . . - - |
    """, wave="triangle", volume=0.4, attack=0.02, sustain=0.7, release=0.15)
    # Drops falling from the ceiling.
    s.melody("""
        - - - - - - E6 - | - - - - - - - - | - - B6 - - - - - | - - - - - G6 - - |
        - - - - - - - - | - - - A6 - - - - | - - - - - - - E6 | - - - - - - - - |
    """, wave="sine", volume=0.18, attack=0.001, decay=0.05, sustain=0.0, release=0.0,
        slide_to=None)
    s.bass(CHORDS, "R . . . . . . .", octave=2, wave="triangle", volume=0.4, attack=0.2,
           sustain=0.8, release=0.3)
    s.pad(CHORDS, octave=3, wave="square", duty=0.5, volume=0.03, attack=0.4, sustain=0.8, release=0.4)
    s.drums("k - - - - - - - | - - - - - - - -", volume=0.5)
    s.tape.echo(delay=0.489, feedback=0.45)
    return s
