"""Dungeon 5, the castle: slow and solemn, an organ and a herald's horn. G minor, 80."""
from chip import Song

CHORDS = "Gm Eb Cm D Gm Eb Cm D"


def song():
    s = Song(tempo=80, bars=8)
    s.melody("""
        G4 . . . . . Bb4 . | G4 . . . Eb5 . . . | D5 . . . C5 . Bb4 . | A4 . . . . . . . |
        Bb4 . . . D5 . G5 . | G5 . . . F5 . Eb5 . | Eb5 . D5 . C5 . Eb5 . | D5 . . . F#4 . A4 . |
    """, wave="square", duty=0.5, volume=0.15, attack=0.02, sustain=0.75, release=0.1, vibrato=0.2)
    s.pad(CHORDS, octave=3, wave="square", duty=0.5, volume=0.045, attack=0.08, sustain=0.9, release=0.2)
    s.bass(CHORDS, "R . . . F . . .", octave=2, wave="triangle", volume=0.45, attack=0.02, sustain=0.8)
    s.drums("k - - - - - k -", volume=0.7)
    return s
