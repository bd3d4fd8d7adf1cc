"""Dungeon 1, the meadow: cheerful and skipping. C major, 144 beats a minute, 8 bars."""
from chip import Song

CHORDS = "C Am F G C Am F G"


def song():
    s = Song(tempo=144, bars=8)
    s.melody("""
        E5 . G5 E5 C5 . G4 . | A4 . C5 . E5 . A5 . | G5 . F5 . E5 . C5 . | D5 . . . - - G4 . |
        E5 . G5 E5 C6 . G5 . | A5 . G5 . E5 . C5 . | F5 . A5 . G5 . F5 . | D5 . E5 . F5 . G5 - |
    """, wave="square", duty=0.25, volume=0.2, sustain=0.6, vibrato=0.15)
    s.bass(CHORDS, "R - F - O - F -", octave=3, wave="triangle", volume=0.45, sustain=0.7)
    s.arpeggio(CHORDS, octave=4, wave="square", duty=0.125, volume=0.05, decay=0.05, sustain=0.3)
    s.drums("k h s h k h s h", volume=0.8)
    return s
