#!/usr/bin/env bash
# Installs what is missing, builds, creates a demo zarn.mdb in demo/ unless
# one is there, and starts the application from that folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
mkdir -p demo
[ -e demo/zarn.mdb ] || build/tools/zarn-db init demo/zarn.mdb --demo
cd demo
exec ../build/app/zarn
