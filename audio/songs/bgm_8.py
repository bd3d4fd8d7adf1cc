"""The title screen: bright and inviting, the promise of an adventure. F major, 126."""
from chip import Song

CHORDS = "F C Dm Bb F C Bb C"


def song():
    s = Song(tempo=126, bars=8)
    s.melody("""
        F5 . A5 . C6 . . A5 | G5 . . . E5 . C5 . | D5 . F5 . A5 . . F5 | G5 . . . . . - - |
        F5 . A5 . C6 . D6 . | C6 . . . G5 . E5 . | F5 . G5 . A5 . Bb5 . | G5 . . . E5 . C5 . |
    """, wave="square", duty=0.25, volume=0.19, sustain=0.6, vibrato=0.15)
    s.bass(CHORDS, "R - F - R - F -", octave=3, wave="triangle", volume=0.45, sustain=0.6)
    s.arpeggio(CHORDS, octave=4, wave="triangle", volume=0.1, decay=0.05, sustain=0.4)
    s.drums("k h s h k h s h", volume=0.8)
    return s
