# SPDX-License-Identifier: Apache-2.0
'''udisks2 for the card access tests: one card, one mounted partition. Parameters: image,
disk and partition (device numbers), mounts and mount_source (the lines Unmount takes out),
answer ("allow" or "refuse" at the prompt). Logs PROMPT, OPENED <mode> and UNMOUNTED.'''
import os

import dbus

from dbusmock import mockobject

BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2/Manager'
MAIN_IFACE = 'org.freedesktop.UDisks2.Manager'
SYSTEM_BUS = True

BLOCK = 'org.freedesktop.UDisks2.Block'
DISK_OBJ = '/org/freedesktop/UDisks2/block_devices/sdb'
PART_OBJ = '/org/freedesktop/UDisks2/block_devices/sdb1'
DRIVE_OBJ = '/org/freedesktop/UDisks2/drives/Card_Reader'
ERROR = 'org.freedesktop.UDisks2.Error.'

STATE = {'authorized': False}
PARAMS = {}


def authorize(obj, options):
    '''polkit as udisks asks it: one prompt, whose yes is kept'''
    if STATE['authorized']:
        return
    if options.get('auth.no_user_interaction', False):
        raise dbus.exceptions.DBusException('Not authorized', name=ERROR + 'NotAuthorizedCanObtain')
    obj.log('PROMPT')
    if PARAMS['answer'] != 'allow':
        raise dbus.exceptions.DBusException('Not authorized', name=ERROR + 'NotAuthorizedDismissed')
    STATE['authorized'] = True


def still_mounted():
    with open(PARAMS['mounts'], encoding='utf-8') as mounts:
        return any(line.split()[:1] == [PARAMS['mount_source']] for line in mounts)


def open_device(self, mode, options):
    authorize(self, options)
    flags = int(options.get('flags', 0))
    if flags & ~(os.O_EXCL | os.O_DIRECT) or mode not in ('r', 'rw'):
        raise dbus.exceptions.DBusException('Invalid flags', name=ERROR + 'OptionNotPermitted')
    if mode == 'rw' and flags & os.O_EXCL and still_mounted():
        raise dbus.exceptions.DBusException('Error opening device: Device or resource busy', name=ERROR + 'Failed')
    fd = os.open(PARAMS['image'], os.O_RDWR if mode == 'rw' else os.O_RDONLY)
    self.log('OPENED ' + mode)
    try:
        return dbus.types.UnixFd(fd)
    finally:
        os.close(fd)


def unmount(self, _options):
    with open(PARAMS['mounts'], encoding='utf-8') as mounts:
        lines = [line for line in mounts if line.split()[:1] != [PARAMS['mount_source']]]
    with open(PARAMS['mounts'], 'w', encoding='utf-8') as mounts:
        mounts.writelines(lines)
    self.log('UNMOUNTED')


def block(number, system=False):
    return {'DeviceNumber': dbus.UInt64(number), 'Drive': dbus.ObjectPath(DRIVE_OBJ),
            'HintSystem': dbus.Boolean(system)}


def load(mock, parameters):
    PARAMS.update(parameters)
    mock.AddMethod(MAIN_IFACE, 'GetBlockDevices', 'a{sv}', 'ao',
                   'ret = [dbus.ObjectPath(p) for p in ("%s", "%s")]' % (PART_OBJ, DISK_OBJ))
    mock.AddObject(DRIVE_OBJ, 'org.freedesktop.UDisks2.Drive',
                   {'Removable': dbus.Boolean(True), 'MediaRemovable': dbus.Boolean(True),
                    'Media': dbus.String('flash_sd')}, [])
    mock.AddObject(DISK_OBJ, BLOCK, block(parameters['disk']),
                   [('OpenDevice', 'sa{sv}', 'h', open_device)])
    mock.AddObject(PART_OBJ, BLOCK, block(parameters['partition']), [])
    partition = mockobject.objects[PART_OBJ]
    partition.AddProperties('org.freedesktop.UDisks2.Filesystem', {'MountPoints': dbus.Array([], signature='ay')})
    partition.AddMethod('org.freedesktop.UDisks2.Filesystem', 'Unmount', 'a{sv}', '', unmount)
