'''ModemManager mock template for python-dbusmock: one modem with the Modem and Modem.Voice
interfaces and its call objects (Call interface). The test drives the calls through the mock
methods AddIncomingCall and SetCallState; CreateCall, Start, Accept, Hangup and DeleteCall
behave as ModemManager's do.
'''

import dbus

from dbusmock import MOCK_IFACE
import dbusmock

BUS_NAME = 'org.freedesktop.ModemManager1'
MAIN_OBJ = '/org/freedesktop/ModemManager1'
MAIN_IFACE = 'org.freedesktop.ModemManager1'
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

MODEM_IFACE = 'org.freedesktop.ModemManager1.Modem'
VOICE_IFACE = 'org.freedesktop.ModemManager1.Modem.Voice'
CALL_IFACE = 'org.freedesktop.ModemManager1.Call'
MODEM_PATH = MAIN_OBJ + '/Modem/0'

DIALING, RINGING_OUT, RINGING_IN, ACTIVE, TERMINATED = 1, 2, 3, 4, 7
INCOMING, OUTGOING = 1, 2


def load(mock, parameters):
    mock.AddMethod(MAIN_IFACE, 'ScanDevices', '', '', '')
    mock.AddObject(MODEM_PATH, MODEM_IFACE,
                   {'Manufacturer': 'dbusmock', 'Model': 'Voice modem',
                    'Device': '/sys/devices/mock', 'PrimaryPort': 'ttyUSB0',
                    'State': dbus.Int32(8, variant_level=1)}, [])
    modem = dbusmock.get_object(MODEM_PATH)
    modem.AddProperties(VOICE_IFACE, {'Calls': dbus.Array([], signature='o'),
                                      'EmergencyOnly': False})
    modem.AddMethods(VOICE_IFACE, [
        ('ListCalls', '', 'ao', f"ret = self.Get('{VOICE_IFACE}', 'Calls')"),
        ('CreateCall', 'a{sv}', 'o',
         "ret = objects['/org/freedesktop/ModemManager1'].NewCall("
         "str(args[0].get('number', '')), 2, 0)"),
        ('DeleteCall', 'o', '',
         "objects['/org/freedesktop/ModemManager1'].DropCall(args[0])"),
        ('HangupAll', '', '', ''),
    ])
    mock.object_manager_emit_added(MODEM_PATH)
    mock.call_count = 0


def set_call_state(call, state, reason):
    old = call.Get(CALL_IFACE, 'State')
    call.Set(CALL_IFACE, 'StateReason', dbus.Int32(reason))
    call.Set(CALL_IFACE, 'State', dbus.Int32(state))
    call.EmitSignal(CALL_IFACE, 'StateChanged', 'iiu', [old, dbus.Int32(state), dbus.UInt32(reason)])


@dbus.service.method(MOCK_IFACE, in_signature='sii', out_signature='o')
def NewCall(self, number, direction, state):
    path = f'{MAIN_OBJ}/Call/{self.call_count}'
    self.call_count += 1
    self.AddObject(path, CALL_IFACE,
                   {'State': dbus.Int32(state), 'StateReason': dbus.Int32(0),
                    'Direction': dbus.Int32(direction), 'Number': number,
                    'Multiparty': False, 'AudioPort': '', 'AudioFormat': dbus.Dictionary({}, signature='sv')},
                   [('Start', '', '', f"objects['{MAIN_OBJ}'].SetCallState('{path}', {DIALING}, 1)"),
                    ('Accept', '', '', f"objects['{MAIN_OBJ}'].SetCallState('{path}', {ACTIVE}, 3)"),
                    ('Hangup', '', '', f"objects['{MAIN_OBJ}'].SetCallState('{path}', {TERMINATED}, 4)")])
    modem = dbusmock.get_object(MODEM_PATH)
    calls = modem.Get(VOICE_IFACE, 'Calls')
    calls.append(dbus.ObjectPath(path))
    modem.Set(VOICE_IFACE, 'Calls', dbus.Array(calls, signature='o'))
    modem.EmitSignal(VOICE_IFACE, 'CallAdded', 'o', [dbus.ObjectPath(path)])
    return path


@dbus.service.method(MOCK_IFACE, in_signature='s', out_signature='o')
def AddIncomingCall(self, number):
    path = self.NewCall(number, INCOMING, 0)
    set_call_state(dbusmock.get_object(path), RINGING_IN, 2)
    return path


@dbus.service.method(MOCK_IFACE, in_signature='sii', out_signature='')
def SetCallState(self, path, state, reason):
    set_call_state(dbusmock.get_object(path), state, reason)


@dbus.service.method(MOCK_IFACE, in_signature='o', out_signature='')
def DropCall(self, path):
    modem = dbusmock.get_object(MODEM_PATH)
    calls = [c for c in modem.Get(VOICE_IFACE, 'Calls') if c != path]
    modem.Set(VOICE_IFACE, 'Calls', dbus.Array(calls, signature='o'))
    modem.EmitSignal(VOICE_IFACE, 'CallDeleted', 'o', [dbus.ObjectPath(path)])
    self.RemoveObject(path)


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='')
def RemoveModem(self):
    self.object_manager_emit_removed(MODEM_PATH)
    self.RemoveObject(MODEM_PATH)
