"""The equipment shop: a jaunty little tune for counting gold. G major, 132, short notes."""
from chip import Song

CHORDS = "G Em C D G Em Am D"


def song():
    s = Song(tempo=132, bars=8)
    s.melody("""
        D5 . G5 . B5 . G5 . | E5 . G5 . B5 . . . | C5 . E5 . G5 . E5 . | F#5 . . . A5 . D5 . |
        B4 . D5 . G5 . B5 . | G5 . E5 . B4 . E5 . | C5 . E5 . A5 . G5 . | F#5 . E5 . D5 . - - |
    """, gap=0.45, wave="square", duty=0.5, volume=0.15, decay=0.05, sustain=0.5)
    s.bass(CHORDS, "R - F - R - T -", octave=3, wave="triangle", volume=0.45, sustain=0.5)
    s.arpeggio(CHORDS, octave=4, rate=2, pattern=(1, 2), wave="square", duty=0.25, volume=0.05,
               decay=0.05, sustain=0.2)
    s.drums("k h s h k h s h", volume=0.7)
    return s
