#!/usr/bin/env bash
# Runs a Windows program under Wine in the private prefix of the tests (cmake/wine-env.sh);
# without a display, under a private Xvfb.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
