"""The login start entry the real program writes: an XDG autostart desktop entry."""

import os
import pathlib
import shutil
import signal
import subprocess
import unittest

from kiosk import BUILD_DIR, PROGRAM, Desktop, wait_until

ENTRY_NAME = "ai.orvia.orvia-desktop.desktop"


class LoginItem(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)
        self.entry = self.desktop.home / "config" / "autostart" / ENTRY_NAME

    def launch(self, program=PROGRAM):
        process = self.desktop.launch(program=program)
        self.desktop.window("interface")
        return process

    def end(self, process):
        os.killpg(process.pid, signal.SIGKILL)
        process.wait(10)
        # The kiosk, its supervisor's child, may take a moment longer.
        wait_until(lambda: not self.desktop.windows("interface"), 10, message="the windows gone")

    def test_the_entry_is_valid_and_its_exec_starts_the_executable_that_was_launched(self):
        # Characters the Exec key must quote, in the folder the program runs from. Not %: the entry
        # doubles it as the Desktop Entry Specification asks, but GLib looks for the program before undoing that
        # and so refuses such an entry (the unit tests cover the text).
        folder = self.desktop.home / "Orvia Kiosk's \"$HOME\" `id` back\\slash"
        folder.mkdir()
        program = folder / "OrviaDesktop"
        shutil.copy2(PROGRAM, program)
        resources = BUILD_DIR / "OrviaDesktop_OrviaDesktop.bundle"
        if resources.exists():
            (folder / resources.name).symlink_to(resources)
        first = self.launch(program)

        validation = subprocess.run(["desktop-file-validate", str(self.entry)], capture_output=True, text=True)
        self.assertEqual(validation.returncode, 0, validation.stdout + validation.stderr)
        self.assertEqual(validation.stdout.strip(), "", "no warnings either")

        # Started the way a session starts its autostart entries, with the first one gone.
        self.end(first)
        subprocess.run(["gio", "launch", str(self.entry)], env=self.desktop.env, check=True, timeout=30)
        interface = self.desktop.window("interface")
        pid = int(self.desktop.x(["xdotool", "getwindowpid", interface]).strip())
        self.addCleanup(lambda: os.kill(pid, signal.SIGKILL))
        self.assertEqual(os.readlink(f"/proc/{pid}/exe"), str(program))

    def test_every_launch_rewrites_an_edited_or_removed_entry(self):
        first = self.launch()
        written = self.entry.read_text()
        self.assertIn(f"Exec=\"{PROGRAM.resolve()}\"\n", written)
        self.end(first)

        self.entry.write_text("[Desktop Entry]\nType=Application\nName=Edited\nExec=/bin/false\nHidden=true\n")
        second = self.launch()
        self.assertEqual(self.entry.read_text(), written)
        self.end(second)

        self.entry.unlink()
        self.launch()
        self.assertEqual(self.entry.read_text(), written)

    def test_an_autostart_folder_that_cannot_be_made_does_not_stop_the_launch(self):
        # A file where the folder belongs stops even root, who may write anywhere else.
        blocker = self.entry.parent
        blocker.write_text("not a folder")
        process = self.launch()
        self.assertIsNone(process.poll())
        self.assertEqual(blocker.read_text(), "not a folder")


if __name__ == "__main__":
    unittest.main()
