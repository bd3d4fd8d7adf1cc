"""Story scenes: a gentle storybook waltz, like a music box. D major, 3/4, 100."""
from chip import Song

CHORDS = "D Bm G A D Bm Em A"


def song():
    s = Song(tempo=100, bars=8, beats_per_bar=3)
    s.melody("""
        F#5 . . . A5 . | B5 . A5 . F#5 . | G5 . . . B5 . | A5 . . . . . |
        F#5 . . . D5 . | D5 . E5 . F#5 . | G5 . F#5 . E5 . | E5 . . . - - |
    """, wave="triangle", volume=0.4, attack=0.003, decay=0.3, sustain=0.35, release=0.1)
    s.bass(CHORDS, "R - F - F -", octave=3, wave="triangle", volume=0.35, sustain=0.5)
    s.arpeggio(CHORDS, octave=5, rate=2, pattern=(2, 1, 0), wave="sine", volume=0.08, decay=0.1,
               sustain=0.2)
    return s
