#!/usr/bin/env python3
"""Makes one sound of the game from its recipe.

    make_sound.py OUTPUT WORKDIR

The stem of OUTPUT picks the recipe: an effect of effects.py, or the song songs/<stem>.py.
The extension picks the format the game expects: .wav is written as it is, .aif and .mp3 are
converted from it by sox (MP3 at 64 kbit/s; sox -R keeps every build byte for byte the same).
"""
import importlib.util
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import effects  # noqa: E402


def render(stem):
    if stem in effects.EFFECTS:
        return effects.render(stem)
    path = os.path.join(HERE, "songs", stem + ".py")
    spec = importlib.util.spec_from_file_location("song_" + stem, path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    tape = module.song().tape
    tape.normalize(-18.0, peak_db=-1.5)
    return tape


def main():
    output, workdir = sys.argv[1], sys.argv[2]
    os.makedirs(workdir, exist_ok=True)
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    stem, ext = os.path.splitext(os.path.basename(output))
    wav = os.path.join(workdir, stem + ".wav")
    render(stem).write_wav(wav)
    partial = os.path.join(os.path.dirname(os.path.abspath(output)), "." + stem + ".partial" + ext)
    if ext == ".wav":
        os.replace(wav, partial)
    elif ext in (".aif", ".aiff"):
        subprocess.run(["sox", "-R", wav, "-t", "aiff", partial], check=True)
    elif ext == ".mp3":
        subprocess.run(["sox", "-R", wav, "-t", "mp3", "-C", "64", partial], check=True)
    else:
        sys.exit(f"no format known for {output}")
    os.replace(partial, output)


if __name__ == "__main__":
    main()
