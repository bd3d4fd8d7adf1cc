"""The map list: a travelling march, ready to set out. B-flat major, 116."""
from chip import Song

CHORDS = "Bb F Gm Eb Bb F Eb F"


def song():
    s = Song(tempo=116, bars=8)
    s.melody("""
        Bb4 . D5 . F5 . . D5 | C5 . . . F4 . . . | D5 . Bb4 . G4 . D5 . | Eb5 . . . G5 . . . |
        F5 . . Eb5 D5 . Bb4 . | C5 . D5 . Eb5 . F5 . | G5 . F5 . Eb5 . D5 . | C5 . . . - - F4 . |
    """, wave="square", duty=0.25, volume=0.19, sustain=0.65, vibrato=0.15)
    s.bass(CHORDS, "R - F - R - F -", octave=2, wave="triangle", volume=0.5, sustain=0.6)
    s.pad(CHORDS, octave=4, wave="square", duty=0.5, volume=0.025, attack=0.05, sustain=0.7)
    s.drums("k - s s k - s h", volume=0.8)
    return s
