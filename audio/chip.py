"""A tiny chiptune synthesizer: square, triangle and noise voices with short envelopes,
a step sequencer for loops, and a WAV writer. Standard library only.

Everything renders into a "tape" of float samples. Music tapes are circular: a note or an
echo that rings past the end of the loop wraps round onto its beginning, so the loop has
no seam at all. Noise comes from a fixed-seed generator, so every build writes the same bytes.
"""
import math
import struct
import wave

RATE = 22050

NOTE_INDEX = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def note_freq(name):
    """"A4" -> 440.0; accepts sharps and flats ("F#3", "Bb4")."""
    letter, rest = name[0].upper(), name[1:]
    semitone = NOTE_INDEX[letter]
    while rest and rest[0] in "#b":
        semitone += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    midi = (int(rest) + 1) * 12 + semitone
    return 440.0 * 2 ** ((midi - 69) / 12)


class Noise:
    """A 16-bit linear-feedback shift register, like the noise channel of old consoles."""

    def __init__(self, seed=0xACE1):
        self.state = seed

    def next(self):
        bit = (self.state ^ (self.state >> 1)) & 1
        self.state = (self.state >> 1) | (bit << 14)
        return 1.0 if self.state & 1 else -1.0


def _blep(t, dt):
    # Smooths the jump of a square wave so high notes don't fizz with aliasing.
    if t < dt:
        x = t / dt
        return x + x - x * x - 1.0
    if t > 1.0 - dt:
        x = (t - 1.0) / dt
        return x * x + x + x + 1.0
    return 0.0


class Tape:
    def __init__(self, seconds, circular=False):
        self.samples = [0.0] * int(round(seconds * RATE))
        self.circular = circular
        self.noise = Noise()

    def __len__(self):
        return len(self.samples)

    def _put(self, index, value):
        n = len(self.samples)
        if self.circular:
            self.samples[index % n] += value
        elif 0 <= index < n:
            self.samples[index] += value

    def tone(self, at, length, freq, wave="square", duty=0.5, volume=0.3, attack=0.004,
             decay=0.08, sustain=0.6, release=0.04, slide_to=None, vibrato=0.0,
             vibrato_rate=5.5, vibrato_delay=0.15):
        """One note starting `at` seconds in, held for `length` seconds, then released.
        `slide_to` glides the pitch (exponentially) to another frequency over the held part;
        `vibrato` is the depth in semitones, after `vibrato_delay` seconds."""
        start = int(round(at * RATE))
        held = max(1, int(length * RATE))
        tail = int(release * RATE)
        a, d = max(1, int(attack * RATE)), max(1, int(decay * RATE))
        phase, dc = 0.0, (2 * duty - 1 if wave == "square" else 0.0)
        ratio = (slide_to / freq) if slide_to else 1.0
        level = 0.0
        period_hold, held_value, counter = 1, 0.0, 0
        for i in range(held + tail):
            # Envelope: attack, decay to the sustain level, release after the held part.
            if i < held:
                if i < a:
                    level = i / a
                elif i < a + d:
                    level = 1.0 - (1.0 - sustain) * (i - a) / d
                else:
                    level = sustain
                env = level
            else:
                env = level * (1.0 - (i - held) / tail) if tail else 0.0
            f = freq * (ratio ** min(1.0, i / held)) if slide_to else freq
            if vibrato and i > vibrato_delay * RATE:
                f *= 2 ** (vibrato * math.sin(2 * math.pi * vibrato_rate * i / RATE) / 12)
            dt = f / RATE
            if wave == "square":
                v = 1.0 if phase < duty else -1.0
                v += _blep(phase, dt)
                v -= _blep((phase - duty) % 1.0, dt)
                v -= dc
            elif wave == "triangle":
                v = 4.0 * abs(phase - 0.5) - 1.0
            elif wave == "sine":
                v = math.sin(2 * math.pi * phase)
            else:  # noise: a new random level every 1/f seconds, so f colours the hiss
                period_hold = max(1, int(RATE / f))
                if counter == 0:
                    held_value = self.noise.next()
                counter = (counter + 1) % period_hold
                v = held_value
            phase += dt
            if phase >= 1.0:
                phase -= 1.0
            self._put(start + i, v * env * volume)

    # Drums, built from the same voices.
    def kick(self, at, volume=0.55):
        self.tone(at, 0.02, 150, "sine", volume=volume, attack=0.001, decay=0.1, sustain=0.0,
                  release=0.0, slide_to=45)
        self.tone(at, 0.11, 150, "sine", volume=volume, attack=0.001, decay=0.11, sustain=0.0,
                  release=0.0, slide_to=40)

    def snare(self, at, volume=0.3):
        self.tone(at, 0.12, 6000, "noise", volume=volume, attack=0.001, decay=0.12, sustain=0.0,
                  release=0.0)
        self.tone(at, 0.06, 190, "triangle", volume=volume * 0.8, attack=0.001, decay=0.06,
                  sustain=0.0, release=0.0, slide_to=140)

    def hat(self, at, volume=0.12):
        self.tone(at, 0.03, 11000, "noise", volume=volume, attack=0.001, decay=0.03, sustain=0.0,
                  release=0.0)

    def echo(self, delay, feedback, passes=3):
        """A feedback echo. On a circular tape the echoes of the end fall onto the beginning:
        a few passes let the wrapped echoes settle to the steady state of an endless loop."""
        n, d = len(self.samples), int(delay * RATE)
        dry = list(self.samples)
        wet = [0.0] * n
        for _ in range(passes if self.circular else 1):
            for i in range(n):
                j = i - d
                if j >= 0:
                    back = wet[j] + dry[j]
                elif self.circular:
                    back = wet[j + n] + dry[j + n]
                else:
                    back = 0.0
                wet[i] = back * feedback
        self.samples = [x + y for x, y in zip(dry, wet)]

    def normalize(self, rms_db, peak_db=-1.0, window=None):
        """Scales to the wanted loudness, never above peak_db. Loudness is the RMS over the
        sounding part, or with `window` (seconds) the RMS of the loudest such stretch, which is
        how loud a short effect seems."""
        if window:
            size, hop = max(1, int(window * RATE)), max(1, int(window * RATE / 5))
            rms = max(math.sqrt(sum(x * x for x in self.samples[i:i + size]) / size)
                      for i in range(0, max(1, len(self.samples) - size + 1), hop))
        else:
            loud = [x for x in self.samples if abs(x) > 1e-4] or [0.0]
            rms = math.sqrt(sum(x * x for x in loud) / len(loud))
        peak = max(abs(x) for x in self.samples)
        if rms == 0.0:
            return
        gain = min(10 ** (rms_db / 20) / rms, 10 ** (peak_db / 20) / peak)
        self.samples = [x * gain for x in self.samples]

    def write_wav(self, path):
        frames = bytearray()
        for x in self.samples:
            frames += struct.pack("<h", max(-32767, min(32767, int(round(x * 32767)))))
        with wave.open(path, "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(bytes(frames))


# ---------------------------------------------------------------------------------------
# Songs: a few voices written on a grid of steps, plus a chord per bar for bass and accompaniment.

CHORD_SHAPES = {
    "": (0, 4, 7), "m": (0, 3, 7), "7": (0, 4, 7, 10), "m7": (0, 3, 7, 10),
    "maj7": (0, 4, 7, 11), "dim": (0, 3, 6), "sus4": (0, 5, 7), "aug": (0, 4, 8),
    "5": (0, 7, 12),
}


def chord_notes(name, octave):
    """"Am" at octave 3 -> frequencies of A3, C4, E4."""
    root = name[0]
    rest = name[1:]
    if rest[:1] in ("#", "b"):
        root, rest = root + rest[0], rest[1:]
    base = note_freq(root + str(octave))
    return [base * 2 ** (s / 12) for s in CHORD_SHAPES[rest]]


def parse_steps(text):
    """A line of steps: a note ("E5", "F#4"), "." to hold the note before, "-" for silence.
    Bar lines "|" are only for the eye. Returns (note, length in steps) pairs with positions."""
    tokens = [t for t in text.split() if t != "|"]
    notes, current = [], None
    for index, token in enumerate(tokens):
        if token == ".":
            if current is not None:
                current[2] += 1
            continue
        current = None
        if token != "-":
            current = [index, token, 1]
            notes.append(current)
    return len(tokens), [(start, name, length) for start, name, length in notes]


class Song:
    def __init__(self, tempo, bars, beats_per_bar=4, steps_per_beat=2):
        self.step = 60.0 / tempo / steps_per_beat
        self.steps_per_bar = beats_per_bar * steps_per_beat
        self.bars = bars
        self.steps = bars * self.steps_per_bar
        self.tape = Tape(self.steps * self.step, circular=True)

    def seconds(self, step):
        return step * self.step

    def melody(self, text, gap=0.15, **voice):
        """Plays a line of steps; each note is held for its steps less a small gap."""
        count, notes = parse_steps(text)
        if count != self.steps:
            raise ValueError(f"a line has {count} steps, the song {self.steps}")
        for start, name, length in notes:
            held = self.step * (length - gap)
            self.tape.tone(self.seconds(start), held, note_freq(name), **voice)

    def bass(self, chords, pattern, octave=2, **voice):
        """`chords` names one chord per bar; `pattern` is one bar of steps using
        R (root), F (fifth), O (octave), T (third), "." hold, "-" rest."""
        chords = chords.split()
        if len(chords) != self.bars:
            raise ValueError("one chord per bar")
        count, hits = parse_steps(pattern)
        if count != self.steps_per_bar:
            raise ValueError("the bass pattern is one bar long")
        for bar, chord in enumerate(chords):
            if chord == "-":
                continue
            tones = chord_notes(chord, octave)
            pick = {"R": tones[0], "T": tones[1], "F": tones[2] if len(tones) > 2 else tones[0] * 1.5,
                    "O": tones[0] * 2}
            for start, name, length in hits:
                step = bar * self.steps_per_bar + start
                self.tape.tone(self.seconds(step), self.step * (length - 0.1), pick[name], **voice)

    def arpeggio(self, chords, octave=4, rate=1, pattern=(0, 1, 2, 1), **voice):
        """Walks through each bar's chord tones, one tone every `rate` steps."""
        for bar, chord in enumerate(chords.split()):
            if chord == "-":
                continue
            tones = chord_notes(chord, octave)
            tones = tones + [t * 2 for t in tones]
            for k in range(int(self.steps_per_bar / rate)):
                step = bar * self.steps_per_bar + k * rate
                freq = tones[pattern[k % len(pattern)] % len(tones)]
                self.tape.tone(self.seconds(step), self.step * rate * 0.8, freq, **voice)

    def pad(self, chords, octave=3, **voice):
        """Holds each bar's chord for the whole bar."""
        for bar, chord in enumerate(chords.split()):
            if chord == "-":
                continue
            for freq in chord_notes(chord, octave):
                self.tape.tone(self.seconds(bar * self.steps_per_bar),
                               self.step * (self.steps_per_bar - 0.3), freq, **voice)

    def drums(self, pattern, volume=1.0):
        """One bar of drum steps repeated through the song: k kick, s snare, h hat, "-" nothing.
        Several letters in one step play together ("kh")."""
        tokens = [t for t in pattern.split() if t != "|"]
        if self.steps % len(tokens):
            raise ValueError("the drum pattern must divide the song")
        for step in range(self.steps):
            token = tokens[step % len(tokens)]
            at = self.seconds(step)
            if "k" in token:
                self.tape.kick(at, 0.55 * volume)
            if "s" in token:
                self.tape.snare(at, 0.3 * volume)
            if "h" in token:
                self.tape.hat(at, 0.12 * volume)
