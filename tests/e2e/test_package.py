"""The Debian package: built from this build, unpacked into a scratch root, its program runs; what
apt would install with it brings a way to capture sound from ALSA, PulseAudio and PipeWire."""

import pathlib
import re
import shutil
import subprocess
import tempfile
import unittest

from kiosk import BUILD_DIR, Desktop, process_status


class Package(unittest.TestCase):
    def test_unpacked_package_runs_and_shows_its_interface(self):
        scratch = pathlib.Path(tempfile.mkdtemp(prefix="orvia-package-"))
        self.addCleanup(shutil.rmtree, scratch, True)
        subprocess.run(["cpack", "-G", "DEB", "-B", str(scratch / "out")], cwd=BUILD_DIR, check=True,
                       capture_output=True, timeout=240)
        package = next((scratch / "out").glob("orvia-desktop_*.deb"))
        fields = subprocess.run(["dpkg-deb", "-f", str(package), "Package", "Depends"], capture_output=True,
                                text=True, check=True).stdout
        self.assertIn("Package: orvia-desktop", fields)
        self.assertIn("libwebkit2gtk-4.1-0", fields, "shared library dependencies come from dpkg-shlibdeps")

        # What apt installs with it onto a system with nothing installed: GStreamer's ALSA and PulseAudio
        # sources (plugins-good) always, PipeWire's where recommended packages come too.
        (scratch / "status").write_text("")
        for recommends in (True, False):
            plan = subprocess.run(["apt-get", "install", "--simulate", f"-oAPT::Install-Recommends={recommends}",
                                   f"-oDir::State::status={scratch / 'status'}", str(package)],
                                  capture_output=True, text=True, timeout=240, check=True).stdout
            installed = set(re.findall(r"^Inst (\S+)", plan, re.M))
            self.assertEqual({"gstreamer1.0-alsa", "gstreamer1.0-plugins-good"} - installed, set())
            self.assertEqual("gstreamer1.0-pipewire" in installed, recommends)

        root = scratch / "root"
        subprocess.run(["dpkg-deb", "-x", str(package), str(root)], check=True)
        program = root / "usr/bin/OrviaDesktop"
        self.assertTrue((root / "usr/lib/orvia-desktop/OrviaDesktop_OrviaDesktop.bundle/Resources/index.html").is_file())
        self.assertTrue((root / "usr/share/applications/ai.orvia.orvia-desktop.desktop").is_file())
        self.assertTrue((root / "usr/share/icons/hicolor/scalable/apps/ai.orvia.orvia-desktop.svg").is_file())

        with Desktop() as desktop:
            process = desktop.launch(program=program)
            window = desktop.window("interface")
            self.assertEqual(desktop.title(window), "Orvia AI Life")
            self.assertIsNone(process.poll())
            self.assertEqual(process_status(desktop.owner(window))[0], process.pid, "the kiosk runs under its supervisor")


if __name__ == "__main__":
    unittest.main()
