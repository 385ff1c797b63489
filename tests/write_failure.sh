#!/usr/bin/env bash
# write_failure.sh PROGRAM ARG...: runs the program with standard output on
# /dev/full (every write fails) and requires a non-zero exit status and a
# message on standard error naming /dev/full.
set -u
err=$(mktemp)
trap 'rm -f "$err"' EXIT
"$@" > /dev/full 2> "$err"
status=$?
if [ "$status" -eq 0 ]; then
    echo "exit status 0 although no write succeeded"; exit 1
fi
if ! grep -q "/dev/full" "$err"; then
    echo "exit status $status, but the message does not name the file:"; cat "$err"; exit 1
fi
exit 0
