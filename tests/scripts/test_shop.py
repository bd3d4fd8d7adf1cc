#!/usr/bin/env python3
"""The shop and the purchase: a gold item bought, the refusals (too dear, owned, locked), the three success texts, a
store item in every answer of the store, the request's time-out at 20 s, and a purchase the store approved while the
game was being killed, granted at the next start."""
import plistlib
import os
import tempfile

from driver import Game, check, english, on_main_screen, write_store_purchases
from test_menu import hunted, opened

CROWN = "com.example.royalexpedition.goldcrown"
# With dungeon 2 open the shop lists the items 1, 2, 3, 28, 34 and 35 in this order.
SWORD, LANTERN, CLOVER, CROWN_ROW = 0, 2, 3, 4


def names():
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "tables", "equipments.plist"), "rb") as f:
        return {e["id"]: e["name"] for e in plistlib.load(f)}


NAMES = names()


def shop(data, gold, **values):
    game = on_main_screen(data, monsters=values.pop("monsters", opened(2)), shopUnlocked=True, mapUnlocked=True, gold=gold, **values)
    game.press("menuBtn1")
    game.wait(2)
    return game


def row(game, index, outlet):
    return game.visible("myTableView.row%d.%s" % (index, outlet))


def alert(game):
    found = game.visible("alertView")
    return (found[0].get("title"), found[0].get("message")) if found else None


def touch_row(game, index, seconds=1):
    game.send("select myTableView %d" % index)
    game.wait(seconds)


def close_alert(game):
    game.wait(0.5)  # the alert has popped in
    game.press("alertBtn0")
    game.wait(1)


if __name__ == "__main__":
    # A 60 G sword with 360 G: 300 left, owned, rates stored, the success text; the row turns to the owned look and
    # the shop stays open; touched again it says "Purchased". One gold less than the price: "NoGold".
    with tempfile.TemporaryDirectory() as data:
        game = shop(data, 360)
        check(row(game, SWORD, "buyBtn") and row(game, SWORD, "priceLabel")[0]["text"] == "60 G", "the sword's row")
        touch_row(game, SWORD)
        check(game.text_of("priceLabel") == "60 G" and game.visible("okBtn"), "the purchase panel")
        game.press("okBtn")
        game.wait(1)
        check(alert(game) == (english("FormatBuyTitle", NAMES[1]), english("BuyEquip")), "bought: %r" % (alert(game),))
        state = game.state()
        check(state["gold"] == 300 and "equip_1" in state and state.get("goldRate") == 1.0, "paid and owned: %r" % state.get("gold"))
        check(game.visible("equipIcon1"), "the sword in the equipment strip")
        close_alert(game)
        check(game.visible("myTableView") and not game.visible("okBtn"), "the shop stays open")
        check(not row(game, SWORD, "buyBtn") and row(game, SWORD, "priceLabel")[0]["text"] == english("PurchasedKana"), "owned")
        touch_row(game, SWORD)
        check(alert(game) == ("", english("Purchased")), "owned row: %r" % (alert(game),))
        game.finish()
    for gold, opens in ((59, False), (60, True)):
        with tempfile.TemporaryDirectory() as data:
            game = shop(data, gold)
            touch_row(game, SWORD)
            check(bool(game.visible("okBtn")) == opens and (alert(game) is None) == opens, "%d G: %r" % (gold, alert(game)))
            if not opens:
                check(alert(game) == ("", english("NoGold")), "too dear")
            game.finish()

    # A locked row (the lantern wants five Leaflings): the lock, no buy button, the condition in the cell and the alert.
    with tempfile.TemporaryDirectory() as data:
        game = shop(data, 10000)
        condition = english("FormatUnlockCondition", "Leafling", 5, 5)
        check(row(game, LANTERN, "lockImgView") and not row(game, LANTERN, "buyBtn"), "the lock")
        check(row(game, LANTERN, "detailLabel")[0]["text"] == condition, "cell: %r" % row(game, LANTERN, "detailLabel"))
        touch_row(game, LANTERN)
        check(alert(game) == ("", condition) and not game.visible("okBtn"), "alert: %r" % (alert(game),))
        game.finish()

    # The three success texts: a gold-rate item (the clover, x1.20), a speed item (the boots, x1.25), a plain item.
    with tempfile.TemporaryDirectory() as data:
        game = shop(data, 100000, monsters=opened(3) + hunted(1, times=20))  # rows: 1-6, 28, 29, 34, 35
        for index, equip, body in ((6, 28, english("FormatBuyGoldItem", 1.2)), (7, 29, english("FormatBuySpeedItem", 1.25)),
                                   (0, 1, english("BuyEquip"))):
            touch_row(game, index)
            game.press("okBtn")
            game.wait(1)
            check(alert(game) == (english("FormatBuyTitle", NAMES[equip]), body), "item %d: %r" % (equip, alert(game)))
            close_alert(game)
        state = game.state()
        check(abs(state["goldRate"] - 1.2) < 1e-6 and abs(state["timeRate"] - 0.8) < 1e-6, "rates: %r" % state)
        game.finish()

    # The crown, through the store in each of its answers, in one game: the panel shows the store's price; an alert
    # closes the panel; a cancelled payment leaves it open without a word; the sheet's Buy grants it.
    with tempfile.TemporaryDirectory() as data:
        game = shop(data, 0)

        def open_crown(mode):
            game.send("store " + mode)
            touch_row(game, CROWN_ROW)

        def pay():
            game.press("okBtn")
            game.wait(1)

        error = english("PurchaseErrorTitle")
        for mode, at_open, expected in (("disabled", True, (error, english("PurchaseErrorBody"))),
                                        ("invalid", True, (error, english("PurchaseErrorInvalid"))),
                                        ("empty", True, (error, english("PurchaseErrorRequest"))),
                                        ("fail", False, (error, english("StoreErrorFailed")))):
            open_crown(mode)
            if not at_open:
                check(game.text_of("priceLabel") == "$2.99" and alert(game) is None, "%s: the price" % mode)
                pay()
            check(alert(game) == expected, "%s: %r" % (mode, alert(game)))
            close_alert(game)
            check(not game.visible("okBtn") and game.visible("myTableView"), "%s: the panel has closed" % mode)
        for mode in ("cancel", "sheet"):
            open_crown(mode)
            pay()
            if mode == "sheet":
                check(game.visible("storeSheet")[0]["price"] == "$2.99", "the store's sheet")
                game.press("storeCancelBtn")
                game.wait(1)
            check(alert(game) is None and game.visible("okBtn"), "%s: cancelled, the panel stays" % mode)
            game.press("cancelBtn")
            game.wait(1)
        # No answer: nothing at 19.9 s, the time-out alert at 20 s.
        open_crown("silent")
        game.wait(18.9)
        check(alert(game) is None, "still waiting at 19.9 s")
        game.wait(0.1)
        check(alert(game) == ("ERROR", english("AlertMsgTimeOut")), "time-out: %r" % (alert(game),))
        close_alert(game)
        open_crown("sheet")
        pay()
        game.press("storeBuyBtn")
        game.wait(1)
        check(alert(game) == (english("FormatBuyTitle", NAMES[34]), english("FormatBuyGoldItem", 2.0)), "bought: %r" % (alert(game),))
        check("equip_34" in game.state(), "granted")
        game.finish()

    # A purchase the store approved while the game was being killed, before the game granted it (the store's file as
    # such a kill leaves it): the next start grants the crown and finishes the purchase, so the start after that finds
    # nothing left to deliver.
    with tempfile.TemporaryDirectory() as data:
        write_store_purchases(data, pending=[("1000000007", CROWN)])
        for start in range(2):
            game = on_main_screen(data, monsters=opened(2)) if start == 0 else Game(data)
            if start:
                game.through_title()
            game.wait(2)
            state = game.state()
            check("equip_34" in state and state["goldRate"] == 2.0, "start %d: granted" % start)
            game.finish()
            with open(os.path.join(data, "store-transactions.plist"), "rb") as f:
                check(plistlib.load(f)["pending"] == [], "start %d: finished" % start)
