#!/usr/bin/env bash
# The log viewer under a day-first locale: the QuillonDayFirst tests of e2e_tests, run with
# LC_ALL=de_DE.UTF-8, from which Wine takes the regional settings. Wine keeps the user's regional
# values in the prefix's registry and rewrites them whenever a program of another locale starts in
# it (a service started on demand, say), so the tests run in a prefix of their own, whose every
# program, services included, runs under the same locale.
#
#   tests/e2e/dates_test.sh BINDIR PREFIX
set -euo pipefail
source "$(dirname "$0")/../../tools/lib/common.sh"
bin="$1"
prefix="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"

export LC_ALL=de_DE.UTF-8
if ! locale -a 2>/dev/null | grep -i '^de_DE\.utf-\?8$' >/dev/null; then
  krv_log "dates test: the locale $LC_ALL is not installed (Debian package locales-all)"
  exit 1
fi
krv_wine_env "$prefix"
set +e
(cd "$bin" && wine e2e_tests.exe --gtest_filter='QuillonDayFirst.*')
code=$?
set -e
wineserver -k >/dev/null 2>&1 || true
exit $code
