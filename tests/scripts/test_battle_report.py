#!/usr/bin/env python3
"""The battle report: no button without a log; a log of two losses and a win shows two rows in the order written, the
current dungeon's boss as "BOSS", and the first missing equipment (req_equip2 when req_equip1 is owned)."""
import tempfile

from driver import check, english, on_main_screen


def entry(person, monster, win):
    return {"id": person, "monsterId": monster, "isWin": win}


def hunted(*ids):
    return [{"monster_id": i, "times": 1, "viewed": True} for i in ids]


with tempfile.TemporaryDirectory() as data:
    game = on_main_screen(data)
    check(not game.visible("reportBtn"), "no report button while the log is empty")
    game.finish()

# Dungeon 2 (its boss is Old Oakheart, No.12, who needs equipment 1, 2 and 3), the wooden sword (1) owned.
with tempfile.TemporaryDirectory() as data:
    game = on_main_screen(data, current_dungeon_id=2, monsters=hunted(6), equip_1={"equip_id": 1},
                          battleLogs=[entry(3, 12, False), entry(4, 1, True), entry(7, 1, False)])
    game.press("reportBtn")
    game.wait(1)
    rows = sorted((v["name"], v.get("text")) for v in game.views() if v["name"].startswith("myTableView.row"))
    boss = english("FormatLogLose", 3, "BOSS")
    check(rows == [("myTableView.row0", english("FormatLogEquip", boss, "Leather Shield")),
                   ("myTableView.row1", english("FormatLogLose", 7, "Puffpig"))], "two losses in order: %r" % rows)
    check("/REPORT" in game.pages(), "the page view")
    game.press("closeBtn")
    game.wait(1)
    check(not game.visible("myTableView"), "closed")
    game.finish()
print("battle report ok")
