"""The Debian package: built from this build, unpacked into a scratch root, its program runs."""

import pathlib
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
