# SPDX-License-Identifier: GPL-3.0-or-later
"""python-dbusmock template: the desktop portal's Settings interface with the appearance
group's "color-scheme" (0 no preference, 1 dark, 2 light), as desktops answer it.

    python3 -m dbusmock --template tests/support/portal_settings.py -p '{"color-scheme": 1}'

SetColorScheme(u) on org.freedesktop.portal.Settings.Mock changes the value and sends
SettingChanged, as a desktop does when the user switches its scheme."""

import dbus

BUS_NAME = "org.freedesktop.portal.Desktop"
MAIN_OBJ = "/org/freedesktop/portal/desktop"
MAIN_IFACE = "org.freedesktop.portal.Settings"
CONTROL_IFACE = MAIN_IFACE + ".Mock"
SYSTEM_BUS = False

GROUP = "org.freedesktop.appearance"
KEY = "color-scheme"


def load(mock, parameters):
    mock.color_scheme = int(parameters.get(KEY, 0))
    mock.AddProperty(MAIN_IFACE, "version", dbus.UInt32(2))


def unknown(group, key):
    return dbus.exceptions.DBusException(f"{group} {key} is not set",
                                         name="org.freedesktop.portal.Error.NotFound")


@dbus.service.method(MAIN_IFACE, in_signature="ss", out_signature="v")
def Read(self, group, key):
    if (group, key) != (GROUP, KEY):
        raise unknown(group, key)
    # The old call answers the value wrapped in one more variant.
    return dbus.UInt32(self.color_scheme, variant_level=2)


@dbus.service.method(MAIN_IFACE, in_signature="ss", out_signature="v")
def ReadOne(self, group, key):
    if (group, key) != (GROUP, KEY):
        raise unknown(group, key)
    return dbus.UInt32(self.color_scheme, variant_level=1)


@dbus.service.method(MAIN_IFACE, in_signature="as", out_signature="a{sa{sv}}")
def ReadAll(self, groups):
    return {GROUP: {KEY: dbus.UInt32(self.color_scheme, variant_level=1)}}


@dbus.service.method(CONTROL_IFACE, in_signature="u", out_signature="")
def SetColorScheme(self, value):
    self.color_scheme = int(value)
    self.EmitSignal(MAIN_IFACE, "SettingChanged", "ssv",
                    [GROUP, KEY, dbus.UInt32(self.color_scheme, variant_level=1)])
