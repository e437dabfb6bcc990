#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
'''tavrin-cli on a card that its user may not open: a mock udisks2 on a private bus that stands
for the system bus unmounts and opens it. Runs as root; the tool runs as nobody, except where
root's own way is checked. Exit 77 (skipped) where this machine cannot do that.'''
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import unittest

CLI = os.environ.get('TAVRIN_CLI', '')
TEMPLATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'udisks2_mock.py')
SECTORS = 8192
BUS_CONFIG = '''<busconfig><type>system</type><listen>unix:path=%s</listen><policy context="default">
<allow user="*"/><allow own="*"/><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
</policy></busconfig>'''


def why_not():
    if os.geteuid() != 0:
        return 'the tool is run as nobody through runuser, which needs root'
    for tool in ('runuser', 'dbus-daemon'):
        if shutil.which(tool) is None:
            return tool + ' is not installed'
    try:
        import dbusmock  # noqa: F401 pylint: disable=import-outside-toplevel,unused-import
    except ImportError:
        return 'python3-dbusmock is not installed (scripts/setup.sh installs it)'
    if subprocess.run(['runuser', '-u', 'nobody', '--', 'test', '-x', CLI], check=False).returncode != 0:
        return 'nobody cannot run ' + CLI
    return None


def write(path, text, mode=0o644):
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)
    os.chmod(path, mode)


class CardAccessTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        os.chmod(self.dir, 0o755)
        block = os.path.join(self.dir, 'sys/block/sdb')
        os.makedirs(block + '/device')
        os.makedirs(block + '/sdb1')
        for name, text in [('removable', '1'), ('size', str(SECTORS)), ('dev', '8:16'), ('device/type', 'SD'),
                           ('sdb1/partition', '1'), ('sdb1/start', '2048'), ('sdb1/size', '6144'),
                           ('sdb1/dev', '8:17')]:
            write(os.path.join(block, name), text + '\n')
        os.makedirs(self.dir + '/dev')
        self.node = self.dir + '/dev/sdb'
        with open(self.node, 'wb') as f:  # an MBR whose one volume starts at sector 2048
            f.truncate(SECTORS * 512)
            f.seek(446 + 8)
            f.write((2048).to_bytes(4, 'little') + (6144).to_bytes(4, 'little'))
            f.seek(510)
            f.write(b'\x55\xaa')
        os.chmod(self.node, 0o600)  # root's alone
        self.mounts = self.dir + '/mounts'
        os.makedirs(self.dir + '/CARD')  # the kernel looks the mount point up before it refuses
        write(self.mounts, '%s/dev/sdb1 %s/CARD vfat rw 0 0\n' % (self.dir, self.dir))
        self.rbf = self.dir + '/a.rbf'
        with open(self.rbf, 'wb') as f:
            f.write(os.urandom(20000))
        os.chmod(self.rbf, 0o644)
        self.bus = None
        self.mock = None

    def tearDown(self):
        for process in (self.mock, self.bus):
            if process is not None:
                process.terminate()
                process.wait()
        shutil.rmtree(self.dir)

    def start_bus(self):
        write(self.dir + '/bus.conf', BUS_CONFIG % (self.dir + '/bus'))
        self.bus = subprocess.Popen(['dbus-daemon', '--nofork', '--print-address=1', '--config-file',
                                     self.dir + '/bus.conf'], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        os.environ['DBUS_SYSTEM_BUS_ADDRESS'] = self.bus.stdout.readline().decode().strip()
        self.bus.stdout.close()

    def start_udisks(self, answer):
        import dbusmock  # pylint: disable=import-outside-toplevel
        self.start_bus()
        parameters = {'image': self.node, 'disk': os.makedev(8, 16), 'partition': os.makedev(8, 17),
                      'mounts': self.mounts, 'mount_source': self.dir + '/dev/sdb1', 'answer': answer}
        with open(self.dir + '/udisks.log', 'w', encoding='utf-8') as log:
            self.mock = subprocess.Popen([sys.executable, '-m', 'dbusmock', '--template', TEMPLATE, '-p',
                                          json.dumps(parameters)], stdout=log)
        dbusmock.DBusTestCase.wait_for_bus_object('org.freedesktop.UDisks2', '/org/freedesktop/UDisks2/Manager',
                                                  system_bus=True)

    def log(self):
        with open(self.dir + '/udisks.log', encoding='utf-8') as log:
            return log.read()

    def cli(self, *args, user='nobody'):
        env = ['PATH=/usr/bin:/bin', 'TAVRIN_SYSFS_ROOT=' + self.dir + '/sys', 'TAVRIN_DEV_ROOT=' + self.dir + '/dev',
               'TAVRIN_MOUNTS=' + self.mounts, 'DBUS_SYSTEM_BUS_ADDRESS=' + os.environ['DBUS_SYSTEM_BUS_ADDRESS']]
        runner = ['runuser', '-u', user, '--'] if user != 'root' else []
        return subprocess.run(runner + ['env', '-i'] + env + [CLI] + list(args), stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, check=False)

    def sectors(self, first, count):
        with open(self.node, 'rb') as f:
            f.seek(first * 512)
            return f.read(count * 512)

    def test_mounted_card_is_programmed_verified_and_erased_after_one_prompt(self):
        self.start_udisks('allow')
        listed = self.cli('list')
        self.assertEqual(listed.stdout, '0\tDisk0\t%s\t4.0 MiB\n' % self.node, listed.stderr)
        self.assertNotIn('PROMPT', self.log(), 'listing never asks')

        done = self.cli('program', '--init', '--yes', '--disk', '0', self.rbf)
        self.assertEqual((done.returncode, done.stdout), (0, 'Program configuration completed.\n'), done.stderr)
        self.assertEqual(self.sectors(0, 1)[:2], b'TV')
        self.assertEqual(self.sectors(2048, 1), bytes(512), 'the volume was cleared')
        log = self.log()
        # The mock refuses an exclusive open while the volume is mounted: written only after.
        self.assertLess(log.index('UNMOUNTED'), log.index('OPENED rw'))

        self.assertEqual(self.cli('verify', '--disk', '0', self.rbf).stdout, 'Verify completed.\n')
        self.assertIn('Disk0 [Tavrin]', self.cli('list').stdout, 'once allowed, the mark is read')
        erased = self.cli('erase', '--yes', '--disk', '0')
        self.assertEqual(erased.stdout, 'Quick Erase Completed.\n', erased.stderr)
        self.assertEqual(self.sectors(0, 4), bytes(4 * 512))
        self.assertEqual(self.log().count('PROMPT'), 1)

    def test_refused_prompt_writes_nothing_and_says_what_to_do(self):
        self.start_udisks('refuse')
        before = self.sectors(0, SECTORS)
        refused = self.cli('program', '--init', '--yes', '--disk', '0', self.rbf)
        self.assertEqual(refused.returncode, 1)
        self.assertIn('Cannot open disk.\n\nThe authentication to open the card was refused', refused.stderr)
        self.assertEqual(self.sectors(0, SECTORS), before)
        self.assertEqual(self.log().count('PROMPT'), 1, 'asked once, however many opens followed')
        self.assertNotIn('UNMOUNTED', self.log())

    def test_without_udisks2_the_card_is_not_listed_and_the_way_out_is_told(self):
        self.start_bus()
        listed = self.cli('list')
        self.assertEqual(listed.stdout, '')
        self.assertIn('No removable disk found.\nThis user may not open the card directly, and udisks2', listed.stderr)
        failed = self.cli('program', '--init', '--yes', '--disk', self.node, self.rbf)
        self.assertEqual(failed.returncode, 1)
        self.assertIn('Cannot open disk.\n\nThis user may not open', failed.stderr)
        self.assertIn('join the disk group', failed.stderr)

    def test_root_never_touches_the_bus(self):
        write(self.mounts, '')
        bus = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        bus.bind(self.dir + '/bus')
        bus.listen(4)
        bus.setblocking(False)
        os.environ['DBUS_SYSTEM_BUS_ADDRESS'] = 'unix:path=' + self.dir + '/bus'
        self.assertIn('Disk0', self.cli('list', user='root').stdout)
        self.assertEqual(self.cli('program', '--init', '--yes', '--disk', '0', self.rbf, user='root').returncode, 0)
        self.assertEqual(self.cli('verify', '--disk', '0', self.rbf, user='root').returncode, 0)
        self.assertEqual(self.cli('erase', '--yes', '--disk', '0', user='root').returncode, 0)
        with self.assertRaises(BlockingIOError):
            bus.accept()
        bus.close()


if __name__ == '__main__':
    REASON = why_not()
    if REASON:
        print('skipped: ' + REASON)
        sys.exit(77)
    unittest.main()
