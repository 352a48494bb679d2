'''NetworkManager mock template for python-dbusmock: python-dbusmock's own NetworkManager
template, with one mock method that adds a dial-up profile and, for the kinds a user dials, a
modem device that offers it, and one that moves an active connection to another state.
'''

import uuid

import dbus

from dbusmock import MOCK_IFACE
import dbusmock
from dbusmock.templates.networkmanager import *  # noqa: F401,F403 pylint: disable=wildcard-import,unused-wildcard-import
from dbusmock.templates.networkmanager import (DEVICE_IFACE, MANAGER_IFACE, MANAGER_OBJ,
                                               SETTINGS_OBJ, ACTIVE_CONNECTION_IFACE, DeviceState)


@dbus.service.method(MOCK_IFACE, in_signature='ssss', out_signature='s')
def AddDialupProfile(self, name, kind, user, ip_iface):
    '''A profile of kind gsm, cdma, pppoe, bluetooth (DUN) or anything else; with ip_iface, a
    device that offers it and brings up that IP interface. Returns the profile's path.'''
    return AddDialupProfileWithUuid(self, name, kind, user, ip_iface, str(uuid.uuid4()))


@dbus.service.method(MOCK_IFACE, in_signature='sssss', out_signature='s')
def AddDialupProfileWithUuid(self, name, kind, user, ip_iface, profile_uuid):
    '''AddDialupProfile with a given UUID: the same profile after NetworkManager restarted.'''
    settings = {'connection': {'id': name, 'type': kind, 'uuid': profile_uuid}}
    if kind in ('gsm', 'cdma', 'pppoe'):
        settings[kind] = {'username': user, 'password': 'segreto'}
    if kind == 'bluetooth':
        settings['bluetooth'] = {'type': 'dun'}
        settings['gsm'] = {'username': user}
    settings_obj = dbusmock.get_object(SETTINGS_OBJ)
    path = settings_obj.SettingsAddConnection(settings)
    if ip_iface:
        dev_path = self.AddEthernetDevice('modem_' + ip_iface, 'ttyUSB_' + ip_iface,
                                          DeviceState.DISCONNECTED)
        dev = dbusmock.get_object(dev_path)
        dev.Set(DEVICE_IFACE, 'DeviceType', dbus.UInt32(8))
        dev.Set(DEVICE_IFACE, 'IpInterface', ip_iface)
        dev.Set(DEVICE_IFACE, 'AvailableConnections', dbus.Array([dbus.ObjectPath(path)], signature='o'))
    return path


@dbus.service.method(MOCK_IFACE, in_signature='su', out_signature='')
def SetActiveState(self, active_path, state):
    dbusmock.get_object(active_path).Set(ACTIVE_CONNECTION_IFACE, 'State', dbus.UInt32(state))


@dbus.service.method(MOCK_IFACE, in_signature='ss', out_signature='')
def SetActiveStateText(self, active_path, text):
    '''A State of the wrong type (a string), as a broken or hostile service would send.'''
    dbusmock.get_object(active_path).Set(ACTIVE_CONNECTION_IFACE, 'State', dbus.String(text))
