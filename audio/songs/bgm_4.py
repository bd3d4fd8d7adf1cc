"""Dungeons 4 and 7, the ice field: glittering arpeggios and bell notes. E major, 112."""
from chip import Song

CHORDS = "Emaj7 C#m7 Amaj7 B Emaj7 C#m7 Amaj7 B"


def song():
    s = Song(tempo=112, bars=8)
    s.melody("""
        B5 . . . G#5 . E5 . | C#6 . . . B5 . G#5 . | A5 . . . C#6 . E6 . | D#6 . . . . . B5 . |
        B5 . G#5 . E5 . G#5 . | C#6 . E6 . D#6 . C#6 . | B5 . A5 . G#5 . F#5 . | F#5 . . . . . - - |
    """, wave="triangle", volume=0.4, attack=0.002, decay=0.25, sustain=0.25, release=0.1)
    s.arpeggio(CHORDS, octave=5, rate=0.5, pattern=(0, 1, 2, 3, 4, 3, 2, 1), wave="sine", volume=0.09,
               attack=0.002, decay=0.06, sustain=0.2)
    s.bass(CHORDS, "R . . . F . . .", octave=2, wave="triangle", volume=0.4, sustain=0.7)
    s.drums("h - h - h - h -", volume=0.7)
    s.tape.echo(delay=0.402, feedback=0.3)
    return s
