#!/usr/bin/env python3
"""The window keeps its picture and redraws only what changed: at every step of a new player's title, opening story and
first explore, and of a party of thirty coming back, standing with what it found and being collected with swipes, the
kept picture equals a whole frame drawn afresh, pixel for pixel (the driver's `frame`). A countdown's second costs a
small patch, and a stage standing still costs nothing."""
import tempfile

from driver import QUIET, Game, check

SCREEN = 640 * 960


def frame(game, step):
    lines = [line for line in game.send("frame") if line.startswith("FRAME ")]
    check(lines and lines[0].startswith("FRAME same "), "%s: %s" % (step, lines))
    return int(lines[0].split()[2])


def frames_while(game, seconds, step, every=0.1):
    """Frames every `every` seconds of game time, as a window would draw them; the pixels each redrew."""
    changed = []
    for _ in range(int(round(seconds / every))):
        game.wait(every)
        changed.append(frame(game, step))
    return changed


with tempfile.TemporaryDirectory() as data:
    game = Game(data)
    frame(game, "the first frame")
    frames_while(game, 2, "the logo pops in")
    game.send(game.title_swipe)
    frames_while(game, 6, "the title fades")
    for _ in range(40):
        if game.visible("closeBtn"):
            game.press("closeBtn")
            break
        if game.visible("nextBtn"):
            game.press("nextBtn")
        frames_while(game, 1, "the story", every=0.25)
    frames_while(game, 3, "the story closes")
    game.ask_explore()
    frame(game, "the question")
    game.press("okBtn")
    frames_while(game, 4, "the party walks off")
    frames_while(game, 8, "the first persons come back", every=0.2)
    game.finish()

# The last dungeon's six-hour explore, once the party has walked off: a second of the countdown is a patch.
with tempfile.TemporaryDirectory() as data:
    game = Game(data, state=dict(QUIET, current_dungeon_id=10, ratingPromptAnswered=True))
    game.through_title()
    game.start_explore(walk=3)
    game.wait(10)
    frame(game, "the party has gone")
    for second in range(3):
        game.wait(1)
        tick = frame(game, "the countdown ticks")
        check(0 < tick < SCREEN // 50, "a second of the countdown redraws %d pixels" % tick)
    game.finish()

PARTY = dict(QUIET, current_dungeon_id=1, ratingPromptAnswered=True, **{"member_%d" % m: {"member_id": m} for m in range(1, 11)})
with tempfile.TemporaryDirectory() as data:
    game = Game(data, state=PARTY)
    game.through_title()
    game.start_explore(walk=3)
    frames_while(game, 10, "thirty on their way home", every=0.2)
    game.send("clock 3600")
    game.wait(1)
    frames_while(game, 15, "the last ones walk in", every=0.25)
    check(len(game.persons()) == 30, "a full stage: %d" % len(game.persons()))
    bobbing = frames_while(game, 2, "thirty bob with what they found", every=0.05)
    check(max(bobbing) < SCREEN // 3 and bobbing.count(0) > len(bobbing) // 3, "bobbing redraws patches at its own pace: %r" % bobbing)
    for y in range(150, 420, 30):
        game.send("swipe 20 %d 300 %d 20" % (y, y + 15))
        frames_while(game, 0.5, "collected with a swipe", every=0.05)
    frames_while(game, 8, "the yields fly off", every=0.1)
    game.finish()
