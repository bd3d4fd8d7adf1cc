"""Dungeon 10, the final keep: tense and urgent, a restless bass under a minor line. C minor, 152."""
from chip import Song

CHORDS = "Cm Cm Ab Ab Fm Fm G G"


def song():
    s = Song(tempo=152, bars=8)
    s.melody("""
        C5 . . . Eb5 . D5 . | C5 . G4 . . . - - | C5 . . . Eb5 . F5 . | Eb5 . D5 . C5 . Ab4 . |
        F5 . . . Ab5 . G5 . | F5 . Eb5 . D5 . C5 . | B4 . . . D5 . F5 . | G5 . . . B4 . D5 . |
    """, wave="square", duty=0.25, volume=0.17, sustain=0.7, vibrato=0.2)
    s.bass(CHORDS, "R R F R O R F R", octave=2, wave="triangle", volume=0.5, decay=0.05, sustain=0.6)
    s.arpeggio(CHORDS, octave=4, rate=0.5, pattern=(0, 1, 2, 1), wave="square", duty=0.125, volume=0.04,
               decay=0.04, sustain=0.3)
    s.drums("k h s h k k s s", volume=0.9)
    return s
