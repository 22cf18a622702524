#!/bin/sh
# Runs a validator given as the command line, or reports the test skipped
# (exit 77, the tests' SKIP_RETURN_CODE) when the validator is not installed.
command -v "$1" >/dev/null 2>&1 || { echo "$1 is not installed: skipped"; exit 77; }
exec "$@"
