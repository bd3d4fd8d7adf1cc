#!/usr/bin/env python3
"""The store's mode from the command line, the environment and the script: a bad one is one clear line and status 2;
the command line wins over RE_STORE. The store's file as the scenarios write it is read as the store's own."""
import os
import tempfile

from driver import check, run, write_store_purchases

with tempfile.TemporaryDirectory() as data:
    out = run(data, "echo before\nstore sheet\nstore bogus\necho after\n", status=2)
    check(out["errors"].strip() == 'line 3: unknown store mode "bogus" (sheet, approve, fail, cancel, invalid, empty, silent, '
          'disabled)' and "after" not in out, "driver: %r" % out["errors"])
    out = run(data, "store\n", status=2)
    check(out["errors"].startswith("line 1: store takes one mode"), "driver without a mode: %r" % out["errors"])
    out = run(data, "echo ran\n", extra=("--store", "generous"), status=2)
    check(out["errors"].splitlines()[0] == 'royal-expedition: --store: unknown store mode "generous" (sheet, approve, fail, cancel, '
          'invalid, empty, silent, disabled)' and "ran" not in out, "option: %r" % out["errors"])
    out = run(data, "echo ran\n", env=dict(os.environ, RE_STORE="free"), status=2)
    check(out["errors"].splitlines()[0].startswith('royal-expedition: RE_STORE: unknown store mode "free"'), "env: %r" % out["errors"])
    out = run(data, "echo ran\n", extra=("--store", "approve"), env=dict(os.environ, RE_STORE="free"))
    check(out.get("ran") == [""], "the option wins over the environment: %r" % out)

# The file a killed game leaves is read as the store's own: kept whole (not set aside) until the game finishes it.
with tempfile.TemporaryDirectory() as data:
    write_store_purchases(data, pending=[("1000000001", "com.example.royalexpedition.goldcrown")], next_id=1000000002)
    out = run(data, "wait 2\n")
    check(os.listdir(data).count("store-transactions.plist") == 1 and not [f for f in os.listdir(data) if "damaged" in f]
          and "could not be read" not in out["errors"], "the store's file as written by a test: %r %r" % (os.listdir(data), out["errors"]))
