#!/usr/bin/env python3
"""Measures made sounds: measure.py FILE... (any format sox reads).

Prints length, peak and RMS level, the loudest 50 ms (how loud a short effect seems),
clipped samples, and for loops the jump from the last sample back to the first beside
the mean step between neighbouring samples (a jump well above it is an audible click)."""
import math
import os
import struct
import subprocess
import sys

RATE = 22050


def db(x):
    return 20 * math.log10(x) if x > 0 else float("-inf")


def measure(path):
    raw = subprocess.run(["sox", path, "-t", "raw", "-e", "signed", "-b", "16", "-c", "1", "-r", str(RATE),
                          "-L", "-"], check=True, capture_output=True).stdout
    s = [v / 32768 for v in struct.unpack("<%dh" % (len(raw) // 2), raw)]
    size = int(0.05 * RATE)
    loudest = max(math.sqrt(sum(x * x for x in s[i:i + size]) / size)
                  for i in range(0, max(1, len(s) - size + 1), size // 5))
    steps = sum(abs(s[i] - s[i - 1]) for i in range(1, len(s))) / (len(s) - 1)
    print(f"{os.path.basename(path):16} {len(s) / RATE:6.2f} s {os.path.getsize(path):8d} B  "
          f"peak {db(max(abs(x) for x in s)):6.1f} dB  rms {db(math.sqrt(sum(x * x for x in s) / len(s))):6.1f} dB  "
          f"loudest50ms {db(loudest):6.1f} dB  clipped {sum(abs(x) >= 0.999 for x in s)}  "
          f"seam {abs(s[-1] - s[0]) * 32768:6.0f} (mean step {steps * 32768:4.0f})")


if __name__ == "__main__":
    for f in sys.argv[1:]:
        measure(f)
