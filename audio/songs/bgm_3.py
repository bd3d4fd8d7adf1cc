"""Dungeons 3 and 8, the volcano: driving eighths and heavy drums. D minor, 160."""
from chip import Song

CHORDS = "Dm Dm Bb C Dm Dm Bb A"


def song():
    s = Song(tempo=160, bars=8)
    s.melody("""
        D5 . . A4 D5 . F5 . | E5 . D5 . C5 . A4 . | Bb4 . . F4 Bb4 . D5 . | C5 . . . E5 . G5 . |
        A5 . . F5 A5 . D6 . | C6 . A5 . F5 . D5 . | F5 . D5 . Bb4 . D5 . | C#5 . . . E5 . A5 . |
    """, wave="square", duty=0.5, volume=0.16, sustain=0.7, vibrato=0.2, vibrato_delay=0.2)
    s.bass(CHORDS, "R R O R R R O R", octave=2, wave="square", duty=0.5, volume=0.16, decay=0.05,
           sustain=0.5)
    s.bass(CHORDS, "R - - - R - - -", octave=2, wave="triangle", volume=0.4)
    s.drums("k h s h k k s h", volume=1.0)
    return s
