#!/usr/bin/python3
"""A small desktop notification service for the tests, on the session bus the environment names.

Usage: notification_server.py LOG [CAPABILITY ...]
Every Notify and CloseNotification is appended to LOG as one JSON line. SIGUSR1 clicks the latest
notification (ActionInvoked "default", then NotificationClosed). Prints "ready" once it owns the name.
"""
import json
import signal
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"


class Server(dbus.service.Object):
    def __init__(self, bus, log, caps):
        super().__init__(bus, PATH)
        self.log, self.caps, self.next_id, self.latest = log, caps, 0, 0

    def record(self, **call):
        with open(self.log, "a") as f:
            f.write(json.dumps(call) + "\n")

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        if replaces:
            nid = int(replaces)
        else:
            self.next_id += 1
            nid = self.next_id
        self.latest = nid
        self.record(call="Notify", id=nid, replaces=int(replaces), app=str(app), summary=str(summary), body=str(body),
                    actions=[str(a) for a in actions])
        return nid

    @dbus.service.method(NAME, in_signature="u")
    def CloseNotification(self, nid):
        self.record(call="CloseNotification", id=int(nid))
        self.NotificationClosed(nid, 3)

    @dbus.service.method(NAME, out_signature="as")
    def GetCapabilities(self):
        return self.caps

    @dbus.service.method(NAME, out_signature="ssss")
    def GetServerInformation(self):
        return ("test-notifications", "tests", "1.0", "1.2")

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, nid, action):
        pass

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, nid, reason):
        pass

    def click(self):
        if self.latest:
            self.ActionInvoked(self.latest, "default")
            self.NotificationClosed(self.latest, 2)
        return True


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    server = Server(bus, sys.argv[1], sys.argv[2:] or ["body", "actions"])
    _name = dbus.service.BusName(NAME, bus)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, server.click)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, lambda: loop.quit() or False)
    print("ready", flush=True)
    loop.run()


if __name__ == "__main__":
    main()
