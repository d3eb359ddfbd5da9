#!/bin/sh
# Stands in for the administrator authentication in the end-to-end copy of the program
# (OrviaDesktop-e2e). Exits with the status written in the file that
# ORVIA_TEST_AUTH_STATUS_FILE names, or 1 (refused) without one, and adds a line to
# "<that file>.runs" each time it runs.
status_file="${ORVIA_TEST_AUTH_STATUS_FILE:-}"
[ -n "$status_file" ] || exit 1
echo run >> "$status_file.runs"
status="$(cat "$status_file" 2>/dev/null)"
case "$status" in
    '' | *[!0-9]*) exit 1 ;;
    *) exit "$status" ;;
esac
