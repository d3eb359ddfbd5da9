#!/usr/bin/env python3
"""Measures what the tests catch: puts one plausible fault at a time into a private copy of the
source tree, rebuilds what that fault's tests need, runs them, and says whether they caught it.

The faults are the table FAULTS below. Each names a file, a snippet that must stand in it exactly
once (the run stops before it starts when one does not: the table has to follow the code), what
replaces it, and the tests that should catch it, cheapest first:
  unit[:FILTER]         the unit tests on the recording backend (a gtest filter narrows them)
  gtk[:FILTER]          the desktop backend's own unit tests
  fuzz:NAME             the replay of a fuzz target's seeds and regressions
  e2e:SUITE[:TEST]      an end-to-end suite under Xvfb, or one Class.test_method of it
A fault is caught by the first of its tests that fails or runs past its time-out, missed when all
pass; one that does not compile is not applicable and its row needs mending.

The copy and its build live in build-mutate/ (--work): made on the first run, brought up to date
with the working tree on later ones, so that each fault rebuilds only what it changes. Before any
fault, the named tests run on the unchanged copy; the run stops if they fail there.

Not part of CI or scripts/test.sh: all faults take over an hour on two cores.
Usage: scripts/mutate.py [--list] [--only PATTERN,...] [--jobs N] [--keep-going] [--output FILE]
                         [--work DIR] [--e2e-port PORT]
"""

import argparse
import dataclasses
import filecmp
import fnmatch
import json
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
# What .gitignore keeps out of the tree, and the repository itself.
NOT_COPIED = {".git", "artifacts", "__pycache__"}
CONFIGURE = ["-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DBUILD_TESTING=ON", "-DORVIA_MOCK_CAPTURE_DEVICES=ON"]
BUILD_TIMEOUT = 3600
# The end-to-end tests' programs; OrviaDesktop brings its supervisor and resource bundle along.
E2E_TARGETS = ["OrviaDesktop", "OrviaDesktopE2E", "orvia_drag_source"]
# The window scenario runs under openbox and mutter by default; openbox alone halves its time, and
# what a fault in the program changes shows under either.
E2E_ENVIRONMENT = {"ORVIA_WINDOW_MANAGERS": "openbox"}


@dataclasses.dataclass(frozen=True)
class Fault:
    id: str
    file: str
    find: str
    replace: str
    kind: str
    what: str
    tests: tuple


def fault(id, file, find, replace, kind, what, tests):
    return Fault(id, file, find, replace, kind, what, tuple(tests))


APP = "OrviaDesktop/app/"
BUBBLE = "OrviaDesktop/bubble/"
INTERFACE = "OrviaDesktop/interface/"
UPDATES = "OrviaDesktop/updates/"
BUNDLE = "OrviaDesktop/resource_bundle_accessor/"
GTK = "platform/gtk/"
PAGE = "OrviaDesktop/Resources/orvia.js"
UNIT = ["unit"]

FAULTS = [
    # The application core.
    fault("app.first-check-delay", APP + "AppDelegate.h",
          "firstUpdateCheckDelay{3.0}", "firstUpdateCheckDelay{0.3}",
          "boundary", "the first update check 0.3 s after launch instead of 3 s", UNIT),
    fault("app.quit-gate-inverted", APP + "AppDelegate.cpp",
          "    if (allowTermination)\n        return platform::TerminateReply::Now;",
          "    if (!allowTermination)\n        return platform::TerminateReply::Now;",
          "inverted condition", "a quit request ends the kiosk unless the administrator exit opened the gate",
          UNIT),
    fault("app.quit-without-collapse", APP + "AppDelegate.cpp",
          "    if (orviaController)\n        orviaController->minimizeToBubble();\n"
          "    return platform::TerminateReply::Cancel;",
          "    return platform::TerminateReply::Cancel;",
          "removed step", "a refused quit no longer collapses the interface", UNIT),
    fault("app.display-may-sleep", APP + "AppDelegate.h",
          "platform::ActivityOptions::UserInitiated | platform::ActivityOptions::IdleDisplaySleepDisabled;",
          "platform::ActivityOptions::UserInitiated;",
          "removed step", "the kiosk's activity no longer keeps the display awake", UNIT),
    fault("app.reopen-maximizes", APP + "AppDelegate.cpp",
          "bool AppDelegate::applicationShouldHandleReopen(bool) {\n    if (orviaController)\n"
          "        orviaController->showMainWindow(OrviaWindowController::Maximize::No);",
          "bool AppDelegate::applicationShouldHandleReopen(bool) {\n    if (orviaController)\n"
          "        orviaController->showMainWindow(OrviaWindowController::Maximize::Yes);",
          "wrong value", "a second launch fills the work area instead of the frame the user left", UNIT),
    fault("app.admin-exit-any-status", APP + "AdministratorExit.cpp",
          "if (*status == 0) {", "if (*status >= 0) {",
          "inverted condition", "any status of the authentication, a refusal too, lets the kiosk exit", UNIT),
    fault("app.admin-exit-without-alt", APP + "ApplicationMenu.cpp",
          "platform::ModifierFlags::Command | platform::ModifierFlags::Option;",
          "platform::ModifierFlags::Command;",
          "wrong value", "the administrator exit on Ctrl+Q instead of Ctrl+Alt+Q", UNIT),
    fault("restart.after-success", APP + "KioskRestartPolicy.cpp",
          "return end.code != EXIT_SUCCESS && end.code != missingResourceBundleExitStatus;",
          "return end.code != missingResourceBundleExitStatus;",
          "decision table", "an exit with status 0 (administrator exit, second launch) restarts the kiosk",
          UNIT),
    fault("restart.missing-bundle", APP + "KioskRestartPolicy.cpp",
          "return end.code != EXIT_SUCCESS && end.code != missingResourceBundleExitStatus;",
          "return end.code != EXIT_SUCCESS;",
          "decision table", "a missing web interface (status 78) restarts the kiosk forever", UNIT),
    fault("restart.six-quick", APP + "KioskRestartPolicy.h",
          "quickRestarts = 5;", "quickRestarts = 6;",
          "boundary", "six quick restarts before the pacing instead of five", UNIT),
    fault("restart.allowance-off-by-one", APP + "KioskRestartPolicy.cpp",
          "calmRestartInterval * static_cast<double>(quickRestarts - 1);",
          "calmRestartInterval * static_cast<double>(quickRestarts);",
          "off by one", "the restart pacing allows one quick restart too many", UNIT),
    fault("restart.interval-30s", APP + "KioskRestartPolicy.h",
          "calmRestartInterval{60.0}", "calmRestartInterval{30.0}",
          "boundary", "a paced restart every 30 s instead of every minute", UNIT),
    fault("autostart.dollar-unquoted", APP + "AutostartEntry.cpp",
          "character == '\"' || character == '`' || character == '$' || character == '\\\\'",
          "character == '\"' || character == '`' || character == '\\\\'",
          "escaping removed", "a '$' in the program's path is not escaped in the autostart entry's Exec", UNIT),
    fault("bubble.collapsed-width-inclusive", BUBBLE + "WindowModes.cpp",
          "return window->frame().width <= narrowestExpandedWidth;",
          "return window->frame().width < narrowestExpandedWidth;",
          "boundary", "a 100-point-wide frame counts as expanded and is saved for the next expand", UNIT),
    fault("bubble.collapsed-width-10", BUBBLE + "WindowModes.cpp",
          "narrowestExpandedWidth = 100.0;", "narrowestExpandedWidth = 10.0;",
          "boundary", "frames down to 10 points wide are saved for the next expand", UNIT),
    fault("bubble.pause-not-evaluated", BUBBLE + "WindowModes.cpp",
          "    window->orderFrontRegardless();\n    webView->evaluateJavaScript(pauseScript);\n",
          "    window->orderFrontRegardless();\n",
          "removed step", "a collapse no longer pauses the page", UNIT),
    fault("bubble.resume-not-evaluated", BUBBLE + "WindowModes.cpp",
          "    webView->evaluateJavaScript(resumeScript);\n", "",
          "removed step", "an expand no longer resumes the page", UNIT),
    fault("bubble.frame-not-saved", BUBBLE + "WindowModes.cpp",
          "    if (!isCollapsed())\n        expandedFrame = window->frame();\n", "",
          "removed step", "a collapse forgets the frame the user had", UNIT),
    fault("bubble.not-ordered-out", BUBBLE + "WindowModes.cpp",
          "    if (bubblePanel)\n        bubblePanel->orderOut();\n", "",
          "removed step", "an expand leaves the bubble on screen", UNIT),
    fault("bubble.corner-takes-clicks", BUBBLE + "WindowModes.cpp",
          "window->setIgnoresMouseEvents(true);", "window->setIgnoresMouseEvents(false);",
          "wrong value", "the collapsed 2 x 2 corner takes clicks", UNIT),
    fault("bubble.corner-stays-above", BUBBLE + "WindowModes.cpp",
          "    window->setLevel(platform::WindowLevel::Normal);\n",
          "    window->setLevel(platform::WindowLevel::Floating);\n",
          "wrong value", "the collapsed corner stays above other windows", UNIT),
    fault("bubble.side-120", BUBBLE + "BubblePanel.cpp",
          "constexpr double side = 112.0;", "constexpr double side = 120.0;",
          "boundary", "the bubble 120 points wide instead of 112", UNIT),
    fault("bubble.margin-12", BUBBLE + "BubblePanel.cpp",
          "constexpr double margin = 24.0;", "constexpr double margin = 12.0;",
          "boundary", "the bubble 12 points from the work area's edges instead of 24", UNIT),
    fault("bubble.top-corner", BUBBLE + "BubblePanel.cpp",
          "visible.minY() + margin, side, side};", "visible.maxY() - side - margin, side, side};",
          "wrong value", "the bubble in the top-right corner (y taken as pointing down)", UNIT),
    fault("bubble.drag-not-reset", BUBBLE + "DraggableOrviaBubbleButton.cpp",
          "void DraggableOrviaBubbleButton::mouseDown(const platform::Event&) {\n    beganDragging = false;\n}",
          "void DraggableOrviaBubbleButton::mouseDown(const platform::Event&) {}",
          "removed step", "after one drag no click on the bubble opens the interface", UNIT),
    fault("bubble.close-closes", BUBBLE + "WindowModes.cpp",
          "    minimizeToBubble();\n    return false;\n", "    minimizeToBubble();\n    return true;\n",
          "wrong value", "a close request collapses and also closes the interface window",
          ["unit", "e2e:window_lifecycle"]),
    fault("bootstrap.member-id-unescaped", INTERFACE + "BootstrapScript.cpp",
          "\"window.ORVIA_MEMBER_ID = '\" + escapedForSingleQuotedJavaScript(memberID) +",
          "\"window.ORVIA_MEMBER_ID = '\" + std::string(memberID) +",
          "escaping removed", "the member identifier goes into the bootstrap script's literal unescaped", UNIT),
    fault("bootstrap.u2029-unescaped", INTERFACE + "BootstrapScript.cpp",
          "(static_cast<unsigned char>(text[i + 2]) == 0xA8 || static_cast<unsigned char>(text[i + 2]) == 0xA9)",
          "static_cast<unsigned char>(text[i + 2]) == 0xA8",
          "escaping removed", "U+2029 in the member identifier is left raw in the script literal", UNIT),
    fault("media.camera-with-mic-denied", INTERFACE + "MediaCapturePermission.cpp",
          "return type == platform::MediaCaptureType::Camera ?",
          "return type != platform::MediaCaptureType::Microphone ?",
          "decision table", "a request for the camera with the microphone is denied", UNIT),
    fault("media.camera-prompts", INTERFACE + "MediaCapturePermission.cpp",
          "? platform::PermissionDecision::Deny", "? platform::PermissionDecision::Prompt",
          "decision table", "a request for the camera alone is left to a prompt instead of denied", UNIT),
    fault("navigation.main-frame-allowed", INTERFACE + "NavigationPolicy.cpp",
          "if (response.isForMainFrame || !response.canShowMIMEType)", "if (!response.canShowMIMEType)",
          "decision table", "the page may replace the interface in the main frame", UNIT),
    fault("navigation.download-allowed", INTERFACE + "NavigationPolicy.cpp",
          "if (response.isForMainFrame || !response.canShowMIMEType)", "if (response.isForMainFrame)",
          "decision table", "a frame may receive what it cannot show (a download)", UNIT),
    fault("weblink.port-without-host", INTERFACE + "WebLink.cpp",
          "return !host.empty() && host[0] != ':';", "return !host.empty();",
          "inverted condition", "a link with a port but no host (https://:443/) reaches the browser", UNIT),
    fault("memoryguard.ceiling-inclusive", INTERFACE + "MemoryGuardPolicy.cpp",
          "if (*reading.memory > limits_.ceiling)", "if (*reading.memory >= limits_.ceiling)",
          "boundary", "a page exactly at its memory ceiling is reloaded at once", UNIT),
    fault("memoryguard.collapsed-not-quiet", INTERFACE + "MemoryGuardPolicy.cpp",
          "const bool quiet = reading.collapsed || !reading.lastUse ||",
          "const bool quiet = !reading.lastUse ||",
          "decision table", "a collapsed kiosk waits five idle minutes before its page is reloaded", UNIT),
    fault("memoryguard.grace-kept", INTERFACE + "MemoryGuardPolicy.cpp",
          "    if (!reading.memory || *reading.memory <= limits_.budget) {\n        aboveBudgetSince.reset();\n",
          "    if (!reading.memory || *reading.memory <= limits_.budget) {\n",
          "removed step", "a page that fell back under its budget keeps the earlier time above it", UNIT),
    fault("memoryguard.showing-not-use", INTERFACE + "MemoryGuard.cpp",
          "std::max(webView->lastUserInput(), lastShown)", "webView->lastUserInput()",
          "removed step", "bringing the interface back does not count as use for the memory guard", UNIT),
    fault("memorylimits.smallest-exclusive", INTERFACE + "MemoryLimits.cpp",
          "value->get<double>() >= smallest", "value->get<double>() > smallest",
          "boundary", "an operator's 256 MB, the least allowed, is refused", UNIT),
    fault("memorylimits.equal-budget-kept", INTERFACE + "MemoryLimits.cpp",
          "if (budget >= ceiling)", "if (budget > ceiling)",
          "boundary", "an operator's budget equal to the ceiling is kept", UNIT),
    fault("recovery.limit-off-by-one", INTERFACE + "PageRecoveryPolicy.cpp",
          "immediateReloads.size() >= immediateReloadLimit", "immediateReloads.size() > immediateReloadLimit",
          "off by one", "six immediate reloads of a dying page instead of five", UNIT),
    fault("recovery.stayed-up-exclusive", INTERFACE + "PageRecoveryPolicy.cpp",
          "now - *finishedAt >= stayedUpAfter", "now - *finishedAt > stayedUpAfter",
          "boundary", "a page up exactly 10 s does not count as recovered", UNIT),
    fault("recovery.fresh-page-not-paused", INTERFACE + "PageRecovery.cpp",
          "if (std::exchange(recoveryLoadPending, false) && isCollapsed())",
          "if (std::exchange(recoveryLoadPending, false) && !isCollapsed())",
          "inverted condition", "a page reloaded while collapsed runs, one reloaded expanded is paused", UNIT),
    fault("recovery.answer-forgotten", INTERFACE + "PageRecovery.cpp",
          "void OrviaWindowController::webContentProcessDidBecomeResponsive() {\n    ++responsivenessGeneration;\n}",
          "void OrviaWindowController::webContentProcessDidBecomeResponsive() {}",
          "removed step", "a page that answers again before the hang limit is still ended", UNIT),
    fault("member.empty-kept", INTERFACE + "MemberIdentity.cpp",
          "stored && !stored->empty()", "stored",
          "inverted condition", "an empty stored member identifier is used instead of replaced", UNIT),
    fault("uuid.no-version", INTERFACE + "RandomUUID.cpp",
          "bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);\n", "",
          "removed step", "the member identifier's UUID carries no version 4 mark", UNIT),
    fault("fileurl.percent-unescaped", INTERFACE + "FileURL.cpp",
          "\"-._~!$&'()*+,;=:@/\"", "\"-._~!$&'()*+,;=:@/%\"",
          "escaping removed", "a '%' in the interface folder's path is left unescaped in its file URL", UNIT),
    fault("filecontents.blocking-open", INTERFACE + "FileContents.cpp",
          "O_RDONLY | O_CLOEXEC | O_NONBLOCK", "O_RDONLY | O_CLOEXEC",
          "removed step", "a FIFO in the interface's place blocks the launch", UNIT),
    fault("interface.reads-parent-folder", INTERFACE + "OrviaWindowController.cpp",
          "configuration.readableFolders = {module(os.mainBundle()).bundlePath()};",
          "configuration.readableFolders = {module(os.mainBundle()).bundlePath().parent_path()};",
          "wrong value", "the page may read the folder around its resource bundle", UNIT),
    fault("version.equal-is-newer", UPDATES + "VersionComparison.cpp",
          "return left > right;", "return left >= right;",
          "off by one", "the running version itself is offered as an update", ["unit", "fuzz:version_comparison"]),
    fault("version.shorter-length", UPDATES + "VersionComparison.cpp",
          "std::max(left.size(), right.size())", "std::min(left.size(), right.size())",
          "off by one", "versions compared only as far as the shorter one goes (1.2.1 equals 1.2)",
          ["unit", "fuzz:version_comparison"]),
    fault("manifest.notes-optional", UPDATES + "OrviaDesktopUpdateManifest.cpp",
          "    if (!version || !downloadURL || !notes)\n        return std::nullopt;\n"
          "    return OrviaDesktopUpdateManifest{Release{*version, *downloadURL, *notes}};",
          "    if (!version || !downloadURL)\n        return std::nullopt;\n"
          "    return OrviaDesktopUpdateManifest{Release{*version, *downloadURL, notes ? *notes : std::string()}};",
          "wrong value", "a manifest without release notes is accepted", ["unit", "fuzz:update_manifest"]),
    fault("manifest.linux-entry", UPDATES + "OrviaDesktopUpdateManifest.cpp",
          "document.find(\"macOS\")", "document.find(\"linux\")",
          "wrong value", "the manifest is read from a \"linux\" entry the server does not send", UNIT),
    fault("update.any-download-address", UPDATES + "UpdateDecision.cpp",
          "== platform::AlertResponse::FirstButton && isWebLink(release.downloadURL))",
          "== platform::AlertResponse::FirstButton)",
          "removed step", "the manifest's download address is opened whatever its scheme (file:, an app)",
          UNIT),
    fault("update.interactive-once", UPDATES + "UpdateDecision.cpp",
          "if (silent && os.userDefaults().boolForKey(noticeKey))", "if (os.userDefaults().boolForKey(noticeKey))",
          "inverted condition", "Check for Updates no longer offers a version already offered", UNIT),
    fault("update.reentrant", UPDATES + "UpdateDecision.cpp",
          "    if (deciding)\n        return;\n", "",
          "removed step", "a result arriving while an alert is up shows its alert on top of it", UNIT),
    fault("bundle.installed-first", BUNDLE + "ResourceBundleAccessor.cpp",
          "    if (auto bundle = ResourceBundle::open(locations.first))\n        return bundle;\n"
          "    return ResourceBundle::open(locations.second);",
          "    if (auto bundle = ResourceBundle::open(locations.second))\n        return bundle;\n"
          "    return ResourceBundle::open(locations.first);",
          "wrong value", "the installed bundle is preferred to the one beside the executable", UNIT),
    fault("bundle.exit-status-1", BUNDLE + "ResourceBundleAccessor.h",
          "missingResourceBundleExitStatus = 78;", "missingResourceBundleExitStatus = 1;",
          "wrong value", "a missing bundle ends with status 1, like a lost display", UNIT),
    fault("lookup.main-folder-first", INTERFACE + "ResourceLookup.cpp",
          "{besideBundle / \"Resources\" / fileName, besideBundle / fileName, *mainResourceFolder / fileName}",
          "{*mainResourceFolder / fileName, besideBundle / \"Resources\" / fileName, besideBundle / fileName}",
          "wrong value", "a file beside the executable wins over the resource bundle's", UNIT),

    # The defaults store.
    fault("atomic.in-place", "platform/AtomicFile.cpp",
          "    auto temporary = path;\n    temporary += \".XXXXXX\";\n    std::string pattern = temporary.string();\n"
          "    int descriptor = ::mkstemp(pattern.data());",
          "    std::string pattern = path.string();\n"
          "    int descriptor = ::open(pattern.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);",
          "not atomic", "the defaults are written in place instead of renamed over", ["unit", "fuzz:defaults_store"]),
    fault("atomic.no-fsync", "platform/AtomicFile.cpp",
          "bool written = writeAll(descriptor, contents) && ::fsync(descriptor) == 0;",
          "bool written = writeAll(descriptor, contents);",
          "removed step", "the new contents are not flushed before the rename", UNIT),
    fault("atomic.temporary-left", "platform/AtomicFile.cpp",
          "        ::unlink(pattern.c_str());\n        return false;", "        return false;",
          "removed step", "a failed write leaves its temporary file behind", UNIT),
    fault("atomic.private-file", "platform/AtomicFile.cpp",
          "    ::fchmod(descriptor, 0644);\n", "",
          "removed step", "the written file stays private to its owner (mkstemp's 0600)", UNIT),
    fault("defaults.corrupt-overwritten", "platform/files/JsonFileUserDefaults.cpp",
          "    if (m_unreadableFileInPlace && !moveUnreadableFileAside())\n        return;\n", "",
          "removed step", "an unreadable defaults file is overwritten instead of set aside",
          ["unit", "fuzz:defaults_store"]),
    fault("defaults.corrupt-name-reused", "platform/files/JsonFileUserDefaults.cpp",
          "std::filesystem::exists(std::filesystem::symlink_status(aside, error)); ++attempt)",
          "false; ++attempt)",
          "removed step", "a second unreadable file replaces the first one set aside", UNIT),
    fault("defaults.fifo-read", "platform/files/JsonFileUserDefaults.cpp",
          "if (!std::filesystem::is_regular_file(m_file, error)) {", "if (std::filesystem::is_directory(m_file, error)) {",
          "wrong value", "a FIFO in the defaults file's place is read (and blocks the launch)", UNIT),
    fault("defaults.relative-xdg", "platform/files/JsonFileUserDefaults.cpp",
          "if (xdgConfigHome && std::filesystem::path(xdgConfigHome).is_absolute())",
          "if (xdgConfigHome && *xdgConfigHome)",
          "inverted condition", "a relative XDG_CONFIG_HOME is taken", UNIT),
    fault("defaults.strict-utf8", "platform/files/JsonFileUserDefaults.cpp",
          "m_values.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)", "m_values.dump(2)",
          "removed step", "storing text that is not UTF-8 throws", ["unit", "fuzz:defaults_store"]),
    fault("userdefaults.number-not-bool", "platform/UserDefaults.cpp",
          "return value->get<double>() != 0;", "return false;",
          "wrong value", "a stored non-zero number reads as false", UNIT),

    # The desktop backend.
    fault("curl.peer-unverified", GTK + "CurlHttp.cpp",
          "CURLOPT_SSL_VERIFYPEER, 1L", "CURLOPT_SSL_VERIFYPEER, 0L",
          "verification off", "the update server's certificate is not verified",
          ["e2e:update_check:UpdateCheck.test_failures_show_nothing"]),
    fault("curl.host-unverified", GTK + "CurlHttp.cpp",
          "CURLOPT_SSL_VERIFYHOST, 2L", "CURLOPT_SSL_VERIFYHOST, 0L",
          "verification off", "the update server's certificate may name another host",
          ["e2e:update_check:UpdateCheck.test_failures_show_nothing"]),
    fault("curl.no-total-timeout", GTK + "CurlHttp.cpp",
          "CURLOPT_TIMEOUT_MS, totalMilliseconds)", "CURLOPT_TIMEOUT_MS, 0L)",
          "removed step", "a server that stops answering holds the update check forever",
          ["e2e:update_check:UpdateCheck.test_a_stalled_server_neither_blocks_the_interface_nor_holds_the_request_forever"]),
    # Both: either alone still holds the update check to https.
    fault("curl.plain-http", GTK + "CurlHttp.cpp",
          "CURLOPT_PROTOCOLS_STR, \"https\") == CURLE_OK &&\n"
          "                      curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&\n"
          "                      curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, \"https\")",
          "CURLOPT_PROTOCOLS_STR, \"http,https\") == CURLE_OK &&\n"
          "                      curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&\n"
          "                      curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, \"http,https\")",
          "verification off", "the update check takes plain http, and follows a redirect to it",
          ["e2e:update_check:UpdateCheck.test_failures_show_nothing"]),
    fault("gtk.alert-not-above", GTK + "GtkAlert.cpp",
          "gtk_window_set_keep_above(window, TRUE);", "gtk_window_set_keep_above(window, FALSE);",
          "wrong value", "the update alert is not kept above the interface",
          ["e2e:update_check:UpdateCheck.test_newer_release_offered_once_three_seconds_after_launch_and_opened_with_return"]),
    fault("gtk.always-above", GTK + "GtkWindowBackend.cpp",
          "gtk_window_set_keep_above(window_.get(), level == WindowLevel::Floating);",
          "gtk_window_set_keep_above(window_.get(), TRUE);",
          "wrong value", "every window level keeps the window above: the collapsed corner too",
          ["e2e:window_lifecycle"]),
    fault("gtk.bubble-opaque-composited", GTK + "GtkWindowBackend.cpp",
          "if (!opaque && gdk_screen_is_composited(screen)", "if (opaque && gdk_screen_is_composited(screen)",
          "inverted condition", "under a compositor the bubble has no alpha: its corners show black",
          ["e2e:window_lifecycle"]),
    fault("gtk.not-sticky", GTK + "GtkWindowBackend.cpp",
          "        gtk_window_stick(window_.get());\n    else\n        gtk_window_unstick(window_.get());",
          "        gtk_window_unstick(window_.get());\n    else\n        gtk_window_stick(window_.get());",
          "inverted condition", "the interface is not put on every workspace", ["e2e:window_lifecycle"]),
    fault("gtk.close-destroys", GTK + "GtkWindowBackend.cpp",
          "    if (close)\n        gtk_widget_hide(widget);\n    return TRUE;",
          "    if (close)\n        gtk_widget_hide(widget);\n    return FALSE;",
          "wrong value", "GTK's own close handler runs after the delegate's answer and destroys the window",
          ["e2e:window_lifecycle"]),
    fault("gtk.miniaturize-unseen", GTK + "GtkWindowBackend.cpp",
          "(event->new_window_state & GDK_WINDOW_STATE_ICONIFIED);",
          "(event->new_window_state & GDK_WINDOW_STATE_WITHDRAWN);",
          "wrong value", "a minimise is not seen, and the window stays minimised", ["e2e:window_lifecycle"]),
    fault("gtk.second-launch-relaunches", GTK + "GtkApplicationBackend.cpp",
          "const bool firstActivation = !self->finishedLaunching_;", "const bool firstActivation = true;",
          "wrong value", "a second launch runs the launch sequence again (a second interface window)",
          ["e2e:window_lifecycle"]),
    fault("gtk.screen-saver-runs", GTK + "GtkProcessInfo.cpp",
          "    if (keepDisplayAwake)\n        token->screenSaverSuspended = suspendScreenSaver(true);\n", "",
          "removed step", "the X screen saver is not suspended while the kiosk runs",
          ["e2e:window_lifecycle"]),
    fault("gtk.shape-lost-on-map", GTK + "GtkWindowBackend.cpp",
          "    connections_.emplace_back(window, \"map-event\", &onMapEvent, this);\n", "",
          "removed step", "the input shapes are not given again once a window is shown",
          ["e2e:window_lifecycle"]),
    fault("gtk.bubble-takes-focus", GTK + "GtkWindowBackend.cpp",
          "        gtk_window_set_accept_focus(window, FALSE);\n", "",
          "removed step", "the bubble takes the keyboard focus",
          ["e2e:window_lifecycle"]),
    fault("gtk.drag-button-off-by-one", GTK + "GtkWindowBackend.cpp",
          "event.buttonNumber + 1, root.x, root.y, event.timestamp);", "event.buttonNumber, root.x, root.y, event.timestamp);",
          "off by one", "the bubble's drag is asked for with button 0 instead of the pressed button",
          ["e2e:window_lifecycle"]),
    fault("gtk.any-button-release-clicks", GTK + "GtkButtonBackend.cpp",
          "    if (event->button != GDK_BUTTON_PRIMARY || !self->handler_)\n        return FALSE;\n    callFromC([&] {\n"
          "        self->handler_->mouseUp(",
          "    if (!self->handler_)\n        return FALSE;\n    callFromC([&] {\n        self->handler_->mouseUp(",
          "inverted condition", "releasing any mouse button over the bubble opens the interface",
          ["e2e:kiosk_escape:KioskEscape.test_nothing_leads_out_of_the_page"]),
    fault("gtk.microphone-as-camera", GTK + "WebKitWebViewBackend.cpp",
          "? MediaCaptureType::Microphone\n                                                 : MediaCaptureType::Camera;",
          "? MediaCaptureType::Camera\n                                                 : MediaCaptureType::Microphone;",
          "decision table", "a microphone request reaches the decision as a camera one, and the other way round",
          ["e2e:kiosk_page:KioskPage.test_kiosk_code_messages_links_camera_minimize_control_and_layout"]),
    fault("gtk.policy-always-used", GTK + "WebKitWebViewBackend.cpp",
          "    if (policy == NavigationResponsePolicy::Allow)\n        webkit_policy_decision_use(decision);\n"
          "    else\n        webkit_policy_decision_ignore(decision);\n",
          "    webkit_policy_decision_use(decision);\n",
          "removed step", "the navigation policy's answer is not carried out: every response is used",
          ["e2e:kiosk_escape:KioskEscape.test_nothing_leads_out_of_the_page"]),
    fault("gtk.renderer-setting-inherited", GTK + "WebKitWebViewBackend.cpp",
          "        g_unsetenv(rendererOff);\n", "",
          "removed step", "the engine's start-up setting stays in the environment of programs the kiosk opens",
          ["e2e:kiosk_page:KioskPage.test_kiosk_code_messages_links_camera_minimize_control_and_layout"]),
    fault("gtk.fullscreen-allowed", GTK + "WebKitWebViewBackend.cpp",
          "webkit_settings_set_enable_fullscreen(settings.get(), FALSE);",
          "webkit_settings_set_enable_fullscreen(settings.get(), TRUE);",
          "wrong value", "a page element may take the whole screen",
          ["e2e:kiosk_escape:KioskEscape.test_nothing_leads_out_of_the_page"]),
    fault("gtk.context-menu-shown", GTK + "BrowserFeatureGuard.cpp",
          "gboolean showNoContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer) {\n"
          "    return TRUE;",
          "gboolean showNoContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer) {\n"
          "    return FALSE;",
          "wrong value", "the engine's context menu (reload, inspect) shows on a right click",
          ["e2e:kiosk_escape:KioskEscape.test_nothing_leads_out_of_the_page"]),
    fault("gtk.foreign-drop-taken", GTK + "BrowserFeatureGuard.cpp",
          "    if (gtk_drag_get_source_widget(context))\n        return FALSE;",
          "    if (!gtk_drag_get_source_widget(context))\n        return FALSE;",
          "inverted condition", "a link or file dragged from another program is dropped into the page",
          ["e2e:kiosk_escape:KioskEscape.test_nothing_leads_out_of_the_page"]),
    fault("gtk.sandbox-off", GTK + "WebKitWebViewBackend.cpp",
          "webkit_web_context_set_sandbox_enabled(context.get(), TRUE);",
          "webkit_web_context_set_sandbox_enabled(context.get(), FALSE);",
          "wrong value", "the web process runs unconfined, with the user's files in reach",
          ["e2e:interface:Recovery.test_the_web_process_is_confined_the_page_reads_no_file_beyond_its_bundle_and_the_session_ends_it"]),
    fault("gtk.unresponsive-unseen", GTK + "WebKitWebViewBackend.cpp",
          "        else\n            self->navigationDelegate_->webContentProcessDidBecomeUnresponsive();\n", "",
          "removed step", "a page that stops answering is never ended and loaded again",
          ["e2e:interface:Recovery.test_a_page_that_stops_answering_is_ended_and_loaded_again"]),
    fault("gtk.transparent-fallback", GTK + "WebKitWebViewBackend.cpp",
          "    if (!draws &&\n        !gtk_style_context_lookup_color(", "    if (!draws &&\n        gtk_style_context_lookup_color(",
          "inverted condition", "the page's background is transparent, so the fallback page's black heading is on black",
          ["e2e:interface:InterfaceLoading.test_without_index_html_the_fallback_page_is_shown_and_without_a_bundle_the_program_stops"]),
    fault("gtk.identity-in-every-frame", GTK + "WebKitUserContentController.cpp",
          "script.forMainFrameOnly ? WEBKIT_USER_CONTENT_INJECT_TOP_FRAME",
          "script.forMainFrameOnly ? WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES",
          "wrong value", "frames of other origins inside the page learn the member identifier",
          ["e2e:interface:InterfaceLoading.test_page_has_the_identity_before_its_first_script_kept_across_launches_and_exactly_as_stored"]),
    fault("gtk.sandbox-writable", GTK + "WebKitWebViewBackend.cpp",
          "webkit_web_context_add_path_to_sandbox(context.get(), folder.c_str(), TRUE);",
          "webkit_web_context_add_path_to_sandbox(context.get(), folder.c_str(), FALSE);",
          "wrong value", "the web process may write into the resource bundle",
          ["e2e:interface:Recovery.test_the_web_process_is_confined_the_page_reads_no_file_beyond_its_bundle_and_the_session_ends_it"]),
    fault("gtk.web-process-name-whole", GTK + "WebContentProcessMemory.cpp",
          "processName = \"WebKitWebProces\";", "processName = \"WebKitWebProcess\";",
          "wrong value", "the web process is looked for by its whole name, which the kernel cuts to 15 characters",
          ["e2e:interface:Recovery.test_a_page_past_its_memory_ceiling_is_loaded_again_at_once_while_in_use_and_the_program_ends_when_told"]),
    fault("gtk.timeouts-early", GTK + "GlibMainQueue.cpp",
          "const double value = std::ceil(delay.count() * 1000.0);", "const double value = delay.count() * 1000.0;",
          "boundary", "a delayed task may run up to a millisecond early", ["gtk"]),
    fault("gtk.screen-y-not-flipped", GTK + "ScreenCoordinates.cpp",
          "const auto top = static_cast<int>(std::lround(rootHeight_ - rect.maxY()));",
          "const auto top = static_cast<int>(std::lround(rootHeight_ - rect.minY()));",
          "wrong value", "a frame's top edge is taken from its bottom in X11 coordinates", ["gtk"]),
    fault("gtk.menu-keys-unset", GTK + "GtkMainMenu.cpp",
          "        const char* accels[] = {keys.c_str(), nullptr};\n"
          "        gtk_application_set_accels_for_action(application_, name.c_str(), accels);\n",
          "        const char* accels[] = {keys.c_str(), nullptr};\n        (void)accels;\n",
          "removed step", "the menu's key equivalents do nothing: no administrator exit from the keyboard",
          ["e2e:update_check:UpdateCheck.test_keys_menu_items_and_administrator_exit"]),
    fault("gtk.accelerator-meta", GTK + "GtkMainMenu.cpp",
          "modifiers += \"<Alt>\";", "modifiers += \"<Meta>\";",
          "wrong value", "the menu's Option modifier becomes Meta instead of Alt", ["gtk"]),
    fault("gtk.message-limit-inclusive", GTK + "ScriptMessageBody.cpp",
          "if (textBytes > maximumMessageBytes) {", "if (textBytes >= maximumMessageBytes) {",
          "boundary", "a page message of exactly the largest size is dropped", ["gtk"]),
    fault("gtk.signal-status", GTK + "GlibProcessLauncher.cpp",
          "return 128 + WTERMSIG(waitStatus);", "return WTERMSIG(waitStatus);",
          "wrong value", "a program ended by a signal gives the signal number as its status", ["gtk"]),
    fault("supervisor.stop-not-passed-on", GTK + "ProcessSupervisor.cpp",
          "        if (child > 0) {\n            kill(child, signal);\n",
          "        if (child > 0) {\n",
          "removed step", "SIGTERM to the supervisor is not passed on to the kiosk",
          ["e2e:interface:Recovery.test_a_page_past_its_memory_ceiling_is_loaded_again_at_once_while_in_use_and_the_program_ends_when_told"]),
    fault("supervisor.fault-signals-claimed", GTK + "SupervisedProgram.cpp",
          "    if (startedBySupervisor()) {\n        keepFaultSignalsFatal();\n        return;",
          "    if (startedBySupervisor()) {\n        return;",
          "removed step", "a SIGSEGV sent to the kiosk is swallowed by the engine's handler",
          ["e2e:interface:Recovery.test_a_killed_page_or_program_comes_back_with_its_identity_and_a_waiting_restart_ends_with_the_session"]),
    fault("supervisor.mark-trusted", GTK + "SupervisedProgram.cpp",
          "const bool supervised = supervisor && std::to_string(getppid()) == supervisor;",
          "const bool supervised = supervisor != nullptr;",
          "removed step", "a kiosk that inherited the supervisor's mark from elsewhere runs unsupervised",
          ["e2e:interface:Recovery.test_a_killed_page_or_program_comes_back_with_its_identity_and_a_waiting_restart_ends_with_the_session"]),
    fault("supervisor.restarts-without-display", GTK + "ProcessSupervisor.cpp",
          "        if (pause.kind == Event::Kind::DisplayGone)\n            return exitStatus(end);\n", "",
          "removed step", "a display gone while a restart waits does not end the supervisor",
          ["e2e:interface:Recovery.test_a_killed_page_or_program_comes_back_with_its_identity_and_a_waiting_restart_ends_with_the_session"]),

    # The package.
    fault("package.alsa-not-depended", "packaging/CMakeLists.txt",
          "fonts-dejavu-core, gstreamer1.0-alsa, gstreamer1.0-plugins-good",
          "fonts-dejavu-core, gstreamer1.0-plugins-good",
          "removed step", "a system with ALSA alone gets no way to capture sound with the package",
          ["e2e:package"]),

    # The kiosk page.
    fault("page.microphone-kept", PAGE,
          "        releaseTimer = setTimeout(() => {\n            releaseTimer = 0;\n            releaseMicrophone();\n"
          "        }, RELEASE_MS);\n",
          "",
          "removed step", "a collapse never gives the microphone back",
          ["e2e:kiosk_page:KioskPage.test_a_collapse_keeps_the_microphone_silenced_for_a_minute_then_gives_it_back"]),
    fault("page.held-microphone-heard", PAGE,
          "            for (const track of stream.getAudioTracks()) {\n                track.enabled = false;\n            }\n",
          "",
          "removed step", "the microphone a collapse holds is not silenced",
          ["e2e:kiosk_page:KioskPage.test_a_collapse_keeps_the_microphone_silenced_for_a_minute_then_gives_it_back"]),
    fault("page.collapse-releases", PAGE,
          "        retryTimer = 0;\n        holdMicrophone();\n", "        retryTimer = 0;\n        releaseMicrophone();\n",
          "wrong value", "a collapse gives the microphone back at once: every expand asks the engine for a new one",
          ["e2e:kiosk_page:KioskPage.test_a_collapse_keeps_the_microphone_silenced_for_a_minute_then_gives_it_back"]),
    fault("page.asks-while-paused", PAGE,
          "if (!running || mic === \"asking\" || mic === \"listening\") {",
          "if (mic === \"asking\" || mic === \"listening\") {",
          "removed step", "the page asks for the microphone while paused",
          ["e2e:kiosk_page:PausedBeforeReady.test_asks_for_nothing_draws_its_face_and_fits_the_screen"]),
    fault("page.denial-retried", PAGE,
          "const FINAL_MIC_ERRORS = [\"NotAllowedError\", \"SecurityError\", \"TypeError\"];",
          "const FINAL_MIC_ERRORS = [\"SecurityError\", \"TypeError\"];",
          "decision table", "a refused microphone is asked for again every 15 s",
          ["e2e:kiosk_page"]),
    fault("page.meter-runs-paused", PAGE,
          "    function pauseMeter() {\n        clearTimeout(meterTimer);\n        meterTimer = 0;\n",
          "    function pauseMeter() {\n",
          "removed step", "the level meter keeps ticking while the page is paused",
          ["e2e:kiosk_page:KioskPage.test_a_collapse_keeps_the_microphone_silenced_for_a_minute_then_gives_it_back"]),
    fault("page.release-after-6s", PAGE,
          "const RELEASE_MS = 60000;", "const RELEASE_MS = 6000;",
          "boundary", "a collapse gives the microphone back after 6 s instead of a minute",
          ["e2e:kiosk_page:KioskPage.test_a_collapse_keeps_the_microphone_silenced_for_a_minute_then_gives_it_back"]),
    fault("page.kiosk-code-prime", PAGE,
          "Math.imul(hash ^ byte, 0x01000193)", "Math.imul(hash ^ byte, 0x01000197)",
          "wrong value", "the kiosk code shown is not the FNV-1a hash support matches",
          ["e2e:kiosk_page:KioskPage.test_kiosk_code_messages_links_camera_minimize_control_and_layout"]),
    fault("page.help-opens-inside", PAGE,
          "if (post({ type: \"openExternal\", url: event.currentTarget.href })) {",
          "if (!post({ type: \"openExternal\", url: event.currentTarget.href })) {",
          "inverted condition",
          "the help link's own action (a new window) is no longer prevented in the shell, and is in a browser",
          ["e2e:kiosk_page:KioskPage.test_kiosk_code_messages_links_camera_minimize_control_and_layout"]),
]


# Tests ------------------------------------------------------------------------------------------

class Catcher:
    """One entry of a fault's tests: what it builds and how it runs."""

    def __init__(self, entry, build, source):
        self.entry = entry
        kind, _, rest = entry.partition(":")
        self.kind, self.argument = kind, rest
        self.build, self.source = build, source
        if kind not in ("unit", "gtk", "fuzz", "e2e"):
            raise SystemExit(f"mutate: unknown test kind in {entry!r}")

    def targets(self):
        return {"unit": ["orvia_unit_tests"], "gtk": ["orvia_platform_gtk_tests"],
                "fuzz": [f"fuzz_{self.argument}"], "e2e": E2E_TARGETS}[self.kind]

    def command(self, ctest):
        """(argv, working folder, environment additions, time-out in seconds)."""
        if self.kind in ("unit", "gtk"):
            program = {"unit": self.build / "tests" / "unit" / "orvia_unit_tests",
                       "gtk": self.build / "platform" / "gtk" / "tests" / "orvia_platform_gtk_tests"}[self.kind]
            argv = [str(program)] + ([f"--gtest_filter={self.argument}"] if self.argument else [])
            return argv, self.build, {}, 300
        name = f"fuzz.replay.{self.argument}" if self.kind == "fuzz" else "e2e." + self.argument.split(":")[0]
        test = ctest.get(name)
        if test is None:
            raise SystemExit(f"mutate: ctest knows no test {name} (from {self.entry!r})")
        argv = list(test["command"])
        if self.kind == "e2e" and ":" in self.argument:
            suite, method = self.argument.split(":", 1)
            argv[-1] = f"test_{suite}.{method}"
        return argv, test["directory"], test["environment"], test["timeout"]


def ctest_tests(build):
    """The build's tests as ctest knows them: name -> command, folder, environment, time-out."""
    listed = subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, capture_output=True, text=True, check=True)
    tests = {}
    for test in json.loads(listed.stdout)["tests"]:
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        environment = dict(entry.split("=", 1) for entry in properties.get("ENVIRONMENT", []))
        tests[test["name"]] = {"command": test.get("command", []),
                               "directory": properties.get("WORKING_DIRECTORY", str(build)),
                               "environment": environment, "timeout": float(properties.get("TIMEOUT", 1500))}
    return tests


def run_logged(argv, log, cwd=None, env=None, timeout=None):
    """Runs argv with its output into the log; gives its exit status, or None when it timed out. A
    program that runs too long is ended with everything it started."""
    with open(log, "ab") as output:
        output.write(f"$ {' '.join(map(str, argv))}\n".encode())
        output.flush()
        process = subprocess.Popen(argv, cwd=cwd, env=env, stdout=output, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, start_new_session=True)
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            return None
        except BaseException:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            raise


# The copy --------------------------------------------------------------------------------------

def copy_tree(work):
    """Brings work/src up to the working tree's files, leaving the unchanged ones (and their times)
    alone so that the build stays incremental."""
    source = work / "src"
    for folder, subfolders, files in os.walk(ROOT):
        here = pathlib.Path(folder)
        subfolders[:] = [name for name in subfolders
                         if name not in NOT_COPIED and not (here == ROOT and name.startswith("build"))]
        for name in files:
            if name.endswith(".swp"):
                continue
            original = here / name
            copy = source / original.relative_to(ROOT)
            if copy.exists() and filecmp.cmp(original, copy, shallow=False):
                continue
            copy.parent.mkdir(parents=True, exist_ok=True)
            # A fresh time, newer than anything built from an earlier version of the file.
            shutil.copy(original, copy)
    return source


def check_table(faults, source):
    """Every snippet must stand exactly once in its file, so that each row still means its fault."""
    problems = []
    ids = [f.id for f in faults]
    problems += [f"{id}: the id is used twice" for id in sorted({i for i in ids if ids.count(i) > 1})]
    for f in faults:
        path = source / f.file
        if not path.exists():
            problems.append(f"{f.id}: no file {f.file}")
            continue
        count = path.read_text(encoding="utf-8").count(f.find)
        if count != 1:
            problems.append(f"{f.id}: the snippet stands {count} times in {f.file}, not once")
        if f.find == f.replace:
            problems.append(f"{f.id}: the replacement changes nothing")
    if problems:
        raise SystemExit("mutate: the table does not match the code:\n  " + "\n  ".join(problems))


# The run ---------------------------------------------------------------------------------------

@dataclasses.dataclass
class Outcome:
    fault: Fault
    result: str  # caught, missed, not applicable
    by: str = ""
    ran: list = dataclasses.field(default_factory=list)
    seconds: float = 0.0
    log: str = ""


class Run:
    def __init__(self, options):
        self.work = options.work.resolve()
        self.jobs = options.jobs
        self.port = options.e2e_port
        self.logs = self.work / "logs"
        self.logs.mkdir(parents=True, exist_ok=True)
        self.source = copy_tree(self.work)
        self.build = self.work / "build"
        self.ctest = {}

    def configure(self):
        log = self.logs / "configure.log"
        log.unlink(missing_ok=True)
        argv = ["cmake", "-S", str(self.source), "-B", str(self.build), *CONFIGURE,
                f"-DORVIA_E2E_UPDATE_PORT={self.port}"]
        if run_logged(argv, log, timeout=BUILD_TIMEOUT) != 0:
            raise SystemExit(f"mutate: configuring the copy failed, see {log}")
        self.ctest = ctest_tests(self.build)

    def catchers(self, f):
        return [Catcher(entry, self.build, self.source) for entry in f.tests]

    def compile(self, catchers, log):
        targets = sorted({t for c in catchers for t in c.targets()})
        if not targets:
            return True
        argv = ["cmake", "--build", str(self.build), "-j", str(self.jobs), "--target", *targets]
        return run_logged(argv, log, timeout=BUILD_TIMEOUT) == 0

    def test(self, catcher, log):
        """"passed", "failed", or "timed out"."""
        argv, folder, additions, timeout = catcher.command(self.ctest)
        environment = {**os.environ, **E2E_ENVIRONMENT, **additions}
        status = run_logged(argv, log, cwd=folder, env=environment, timeout=timeout)
        return "passed" if status == 0 else "timed out" if status is None else "failed"

    def baseline(self, faults):
        """The faults' tests on the unchanged copy; stops the run where they fail."""
        log = self.logs / "unchanged.log"
        log.unlink(missing_ok=True)
        catchers = {c.entry: c for f in faults for c in self.catchers(f)}
        print(f"building the unchanged copy and running its {len(catchers)} tests ...", flush=True)
        if not self.compile(catchers.values(), log):
            raise SystemExit(f"mutate: the unchanged copy does not build, see {log}")
        for entry, catcher in sorted(catchers.items()):
            started = time.monotonic()
            result = self.test(catcher, log)
            print(f"  {result:9} {entry} ({time.monotonic() - started:.0f} s)", flush=True)
            if result != "passed":
                raise SystemExit(f"mutate: {entry} {result} without any fault; fix that first (see {log})")

    def measure(self, f):
        path = self.source / f.file
        original = path.read_text(encoding="utf-8")
        log = self.logs / f"{f.id}.log"
        log.unlink(missing_ok=True)
        outcome = Outcome(f, "missed", log=str(log))
        started = time.monotonic()
        try:
            path.write_text(original.replace(f.find, f.replace, 1), encoding="utf-8")
            catchers = self.catchers(f)
            if not self.compile(catchers, log):
                outcome.result = "not applicable"
                return outcome
            for catcher in catchers:
                outcome.ran.append(catcher.entry)
                result = self.test(catcher, log)
                if result != "passed":
                    outcome.result = "caught"
                    outcome.by = catcher.entry + (" (timed out)" if result == "timed out" else "")
                    break
            return outcome
        finally:
            # Written anew, so it is newer than what the fault compiled into.
            path.write_text(original, encoding="utf-8")
            outcome.seconds = time.monotonic() - started


def report(outcomes, destination, total_seconds):
    counted = [o for o in outcomes if o.result != "not applicable"]
    caught = [o for o in counted if o.result == "caught"]
    if destination.suffix == ".json":
        rows = [{"id": o.fault.id, "file": o.fault.file, "kind": o.fault.kind, "description": o.fault.what,
                 "tests": list(o.fault.tests), "ran": o.ran, "result": o.result, "caught_by": o.by,
                 "seconds": round(o.seconds, 1)} for o in outcomes]
        document = {"caught": len(caught), "total": len(counted), "seconds": round(total_seconds), "faults": rows}
        destination.write_text(json.dumps(document, indent=2) + "\n")
        return
    lines = [f"Caught {len(caught)} of {len(counted)} faults in {total_seconds / 60:.0f} min.", "",
             "| fault | file | kind | description | tests run | result | s |", "|---|---|---|---|---|---|---|"]
    for o in outcomes:
        result = f"caught by {o.by}" if o.result == "caught" else o.result
        lines.append(f"| {o.fault.id} | {o.fault.file} | {o.fault.kind} | {o.fault.what} | "
                     f"{', '.join(o.ran) or '-'} | {result} | {o.seconds:.0f} |")
    destination.write_text("\n".join(lines) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--list", action="store_true", help="print the table of faults and stop")
    parser.add_argument("--only", metavar="PATTERN[,PATTERN...]",
                        help="only faults whose id matches one of the patterns (shell pattern, or a part of the id)")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2, help="parallel compile jobs")
    parser.add_argument("--keep-going", action="store_true",
                        help="record a fault that does not compile and go on, instead of stopping there")
    parser.add_argument("--output", type=pathlib.Path, help="write a report: .json, else Markdown")
    parser.add_argument("--work", type=pathlib.Path, default=ROOT / "build-mutate",
                        help="the copy and its build (default build-mutate/)")
    parser.add_argument("--e2e-port", type=int, default=47443, help="the end-to-end update server's port")
    options = parser.parse_args()

    faults = FAULTS
    if options.only:
        patterns = [p if any(c in p for c in "*?[") else f"*{p}*" for p in options.only.split(",")]
        faults = [f for f in FAULTS if any(fnmatch.fnmatchcase(f.id, p) for p in patterns)]
        if not faults:
            raise SystemExit(f"mutate: no fault matches {options.only!r}")
    if options.list:
        check_table(FAULTS, ROOT)
        for f in faults:
            print(f"{f.id:36} {f.file:50} {f.kind:18} {', '.join(f.tests)}\n{'':36} {f.what}")
        return 0

    started = time.monotonic()
    run = Run(options)
    check_table(FAULTS, run.source)
    run.configure()
    run.baseline(faults)

    outcomes = []
    for number, f in enumerate(faults, 1):
        outcome = run.measure(f)
        outcomes.append(outcome)
        by = f" by {outcome.by}" if outcome.by else ""
        print(f"[{number:3}/{len(faults)}] {outcome.result:8} {f.id}{by} ({outcome.seconds:.0f} s): {f.what}",
              flush=True)
        if outcome.result == "not applicable" and not options.keep_going:
            print(f"mutate: {f.id} does not compile; mend its row (see {outcome.log}) or pass --keep-going")
            break

    total = time.monotonic() - started
    counted = [o for o in outcomes if o.result != "not applicable"]
    caught = sum(o.result == "caught" for o in counted)
    missed = [o.fault.id for o in counted if o.result == "missed"]
    broken = [o.fault.id for o in outcomes if o.result == "not applicable"]
    print(f"\nscore: {caught}/{len(counted)} caught in {total / 60:.0f} min")
    if missed:
        print("missed: " + ", ".join(missed))
    if broken:
        print("not applicable (mend these rows): " + ", ".join(broken))
    if options.output:
        report(outcomes, options.output, total)
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
