"""Dungeon 6, the sunken ruins: mysterious, a snake-charmer line over hand drums. E phrygian, 120."""
from chip import Song

CHORDS = "Em F Em F Dm Em F E"


def song():
    s = Song(tempo=120, bars=8)
    s.melody("""
        E5 . F5 . G#5 . . . | A5 . G#5 . F5 . E5 . | E5 . . . B4 . . . | C5 . B4 . A4 . G#4 . |
        A4 . D5 . F5 . A5 . | G#5 . F5 . E5 . D5 . | F5 . E5 . D5 . C5 . | B4 . . . G#4 . . . |
    """, wave="square", duty=0.125, volume=0.18, sustain=0.7, vibrato=0.3, vibrato_delay=0.1)
    s.bass(CHORDS, "R - - R F - R -", octave=2, wave="triangle", volume=0.45, sustain=0.6)
    s.drums("k - h k s - h -", volume=0.8)
    s.tape.echo(delay=0.375, feedback=0.2)
    return s
