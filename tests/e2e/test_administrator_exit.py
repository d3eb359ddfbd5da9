"""The administrator exit of the real program, linked with a stand-in for the system's authentication
(admin-auth-stub.sh), which exits with the status the test writes to a file.
"""

import os
import pathlib
import signal
import time
import unittest

from kiosk import BUILD_DIR, Desktop, assert_ended_for_good, wait_until

PROGRAM = pathlib.Path(os.environ.get("ORVIA_ADMIN_PROGRAM", BUILD_DIR / "OrviaDesktop-e2e"))


class AdministratorExit(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)
        self.status = self.desktop.home / "auth-status"
        self.runs = self.desktop.home / "auth-status.runs"
        self.program = self.desktop.launch(PROGRAM, env={"ORVIA_TEST_AUTH_STATUS_FILE": str(self.status)})
        self.interface = self.desktop.window("interface")

    def press_control_alt_q(self):
        self.desktop.x(["xdotool", "windowactivate", "--sync", self.interface], check=False)
        self.desktop.x(["xdotool", "key", "--clearmodifiers", "ctrl+alt+q"])

    def run_count(self):
        return len(self.runs.read_text().splitlines()) if self.runs.exists() else 0

    def test_after_a_crash_a_refusal_keeps_the_program_running_and_a_success_ends_it_for_good(self):
        # The kiosk that comes back after a crash answers to the administrator exit as the first did.
        crashed = self.desktop.owner(self.interface)
        os.kill(crashed, signal.SIGKILL)
        self.interface = self.desktop.window("interface", not_owned_by=crashed)

        self.status.write_text("1")
        self.press_control_alt_q()
        wait_until(lambda: self.run_count() == 1, 10, message="the authentication to run")
        time.sleep(1.5)
        self.assertIsNone(self.program.poll(), "a refused authentication must leave the program running")

        self.status.write_text("0")
        started = time.monotonic()
        self.press_control_alt_q()
        self.assertEqual(self.program.wait(10), 0)
        self.assertLess(time.monotonic() - started, 5.0, "the program must end promptly")
        self.assertEqual(self.run_count(), 2)
        assert_ended_for_good(self.program)


if __name__ == "__main__":
    unittest.main()
