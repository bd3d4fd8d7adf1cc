"""The monster collection: calm and curious, bells over a soft arpeggio. A major, 104."""
from chip import Song

CHORDS = "A F#m D E A F#m Bm E"


def song():
    s = Song(tempo=104, bars=8)
    s.melody("""
        C#6 . E6 . A5 . . . | F#5 . A5 . C#6 . . . | D6 . C#6 . B5 . A5 . | G#5 . . . B5 . . . |
        C#6 . E6 . A6 . . . | F#6 . E6 . C#6 . A5 . | B5 . D6 . F#6 . D6 . | E6 . . . . . - - |
    """, wave="sine", volume=0.3, attack=0.002, decay=0.3, sustain=0.15, release=0.1)
    s.arpeggio(CHORDS, octave=4, pattern=(0, 1, 2, 3, 2, 1), wave="triangle", volume=0.09, decay=0.06,
               sustain=0.3)
    s.bass(CHORDS, "R . . . F . . .", octave=2, wave="triangle", volume=0.4, sustain=0.7)
    s.drums("- - h - - - h -", volume=0.6)
    return s
