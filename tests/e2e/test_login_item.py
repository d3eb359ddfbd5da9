"""The login start entry the real program writes: an XDG autostart desktop entry."""

import os
import shutil
import signal
import subprocess
import unittest

from kiosk import BUILD_DIR, PROGRAM, Desktop, wait_until

ENTRY_NAME = "ai.orvia.orvia-desktop.desktop"


class LoginItem(unittest.TestCase):
    def test_every_launch_writes_a_valid_entry_whose_exec_starts_the_executable_that_was_launched(self):
        desktop = Desktop()
        self.addCleanup(desktop.close)
        entry = desktop.home / "config" / "autostart" / ENTRY_NAME
        # Characters the Exec key must quote, in the folder the program runs from. Not %: the entry
        # doubles it as the Desktop Entry Specification asks, but GLib looks for the program before undoing that
        # and so refuses such an entry (the unit tests cover the text).
        folder = desktop.home / "Orvia Kiosk's \"$HOME\" `id` back\\slash"
        folder.mkdir()
        program = folder / "OrviaDesktop"
        shutil.copy2(PROGRAM, program)
        resources = BUILD_DIR / "OrviaDesktop_OrviaDesktop.bundle"
        if resources.exists():
            (folder / resources.name).symlink_to(resources)

        def run_once():
            process, _ = desktop.start(program)
            self.assertIsNone(process.poll())
            os.killpg(process.pid, signal.SIGKILL)
            process.wait(10)
            # The kiosk, its supervisor's child, may take a moment longer.
            wait_until(lambda: not desktop.windows("interface"), 10, message="the windows gone")

        # An autostart folder that cannot be made does not stop the launch: a file where the folder
        # belongs stops even root, who may write anywhere else.
        entry.parent.write_text("not a folder")
        run_once()
        self.assertEqual(entry.parent.read_text(), "not a folder")
        entry.parent.unlink()

        run_once()
        written = entry.read_text()
        validation = subprocess.run(["desktop-file-validate", str(entry)], capture_output=True, text=True)
        self.assertEqual(validation.returncode, 0, validation.stdout + validation.stderr)
        self.assertEqual(validation.stdout.strip(), "", "no warnings either")
        # Every launch rewrites an edited or removed entry.
        entry.write_text("[Desktop Entry]\nType=Application\nName=Edited\nExec=/bin/false\nHidden=true\n")
        run_once()
        self.assertEqual(entry.read_text(), written)
        entry.unlink()
        run_once()
        self.assertEqual(entry.read_text(), written)

        # Started the way a session starts its autostart entries.
        subprocess.run(["gio", "launch", str(entry)], env=desktop.env, check=True, timeout=30)
        pid = int(desktop.x(["xdotool", "getwindowpid", desktop.window("interface")]).strip())
        self.addCleanup(lambda: os.kill(pid, signal.SIGKILL))
        self.assertEqual(os.readlink(f"/proc/{pid}/exe"), str(program))


if __name__ == "__main__":
    unittest.main()
