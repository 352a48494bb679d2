#!/usr/bin/python3
'''The whole desktop program under Xvfb, on a private system bus with python-dbusmock's
NetworkManager: a dial-up link comes up, NetworkManager restarts while it is up (leaves the bus
and comes back with the same link under a new object), then the link ends. The log must hold
one record for the whole call and the bill exactly that call's cost.

Usage: nm_restart_journey.py ORVA32 ORVA32CLI NM_TEMPLATE. Exit 77 when something it needs is
missing.'''

import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
NM = 'org.freedesktop.NetworkManager'
UUID = '0f6a5a0e-8c1e-4b8e-9d3e-5a7b8c9d0e1f'
DEVICE = '/org/freedesktop/NetworkManager/Devices/modem_wwan0'


def main():
    orva32, cli, template = sys.argv[1:4]
    try:
        import dbus  # noqa: F401
        import dbusmock  # noqa: F401
    except ImportError:
        print('python3-dbusmock is not installed')
        return SKIP
    if not shutil.which('xvfb-run') or not shutil.which('dbus-daemon'):
        print('xvfb-run or dbus-daemon is missing')
        return SKIP
    import dbus

    tmp = tempfile.mkdtemp(prefix='orva-nm-restart-')
    procs = []
    try:
        conf = os.path.join(tmp, 'bus.conf')
        with open(conf, 'w') as f:
            f.write('<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"'
                    ' "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">\n'
                    '<busconfig><type>system</type>'
                    f'<listen>unix:dir={tmp}</listen><auth>EXTERNAL</auth>'
                    '<policy context="default"><allow user="*"/><allow own="*"/>'
                    '<allow send_type="method_call"/><allow send_type="signal"/>'
                    '<allow send_requested_reply="true" send_type="method_return"/>'
                    '<allow send_requested_reply="true" send_type="error"/>'
                    '<allow receive_type="method_call"/><allow receive_type="method_return"/>'
                    '<allow receive_type="error"/><allow receive_type="signal"/>'
                    '</policy></busconfig>\n')
        daemon = subprocess.Popen(['dbus-daemon', '--config-file=' + conf, '--nofork',
                                   '--print-address'], stdout=subprocess.PIPE)
        procs.append(daemon)
        address = daemon.stdout.readline().decode().strip()
        home = os.path.join(tmp, 'home')
        run = os.path.join(tmp, 'run')
        data = os.path.join(tmp, 'data')
        for d in (home, run, data):
            os.makedirs(d, mode=0o700)
        env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=address, HOME=home, XDG_RUNTIME_DIR=run,
                   XDG_CONFIG_HOME=os.path.join(home, '.config'),
                   XDG_DATA_HOME=os.path.join(home, '.local/share'), LC_ALL='C.UTF-8',
                   TZ='Europe/Rome')
        env.pop('DBUS_SESSION_BUS_ADDRESS', None)
        with open(os.path.join(data, 'ORVA32.INI'), 'wb') as f:
            f.write(b'[Impostazioni generali]\r\nMostra wizard=0\r\n')
        with open(os.path.join(data, 'Time Servers.txt'), 'wb') as f:
            f.write(b'127.0.0.1\r\n')
        bus = dbus.bus.BusConnection(address)

        def start_nm():
            p = subprocess.Popen([sys.executable, '-m', 'dbusmock', '--system', '--template',
                                  template], env=env)
            procs.append(p)
            for _ in range(300):
                if bus.name_has_owner(NM):
                    return p
                time.sleep(0.05)
            raise RuntimeError('the NetworkManager mock did not come up')

        def mock():
            return dbus.Interface(bus.get_object(NM, '/org/freedesktop'),
                                  'org.freedesktop.DBus.Mock')

        def link_up(name):
            profile = mock().AddDialupProfileWithUuid('Vodafone', 'gsm', 'web', 'wwan0', UUID)
            return mock().AddActiveConnection([dbus.ObjectPath(DEVICE)], dbus.ObjectPath(profile),
                                              dbus.ObjectPath('/'), name, dbus.UInt32(2))

        nm = start_nm()
        program = subprocess.Popen(['xvfb-run', '-a', orva32, 'nosplash', '--data-dir', data],
                                   env=env)
        procs.append(program)
        time.sleep(5)
        link_up('3')
        time.sleep(4)
        # NetworkManager restarts: gone for 3 s, then the same link under another object.
        nm.terminate()
        nm.wait(10)
        time.sleep(3)
        nm = start_nm()
        active = link_up('0')
        time.sleep(4)
        mock().SetActiveState(active, dbus.UInt32(4))
        time.sleep(2)
        subprocess.run([cli, 'send', 'quit'], env=env, timeout=20, check=False)
        program.wait(30)

        log = os.path.join(data, 'ORVA.LOG')
        if not os.path.exists(log):
            print('no call was logged')
            return 1
        with open(log, 'rb') as f:
            lines = [l for l in f.read().decode('cp1252').split('\r\n') if l]
        print('\n'.join(lines))
        if len(lines) != 1:
            print(f'{len(lines)} records, expected one')
            return 1
        fields = lines[0].split('\t')
        if fields[10] != 'Modem: Vodafone':
            print('wrong service: ' + fields[10])
            return 1
        # The bill holds the call once: its amount is the call's cost (one answer tick or one
        # fixed charge, not two).
        billed = 0.0
        for name in os.listdir(data):
            if name.upper().endswith('.BOL'):
                day = False
                with open(os.path.join(data, name), 'rb') as f:
                    for line in f.read().decode('cp1252').split('\r\n'):
                        if line.startswith('['):
                            day = line != '[Generale]'
                        elif day and '=' in line:
                            price, ticks = line.split('=', 1)
                            billed += float(price) * int(ticks)
        if abs(billed - float(fields[6])) > 0.5:
            print(f'the bill holds L. {billed}, the call cost L. {fields[6]}')
            return 1
        return 0
    finally:
        for p in reversed(procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
