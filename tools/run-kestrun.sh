#!/usr/bin/env bash
# Starts Kestrun from a build's bin folder with the sample plate open. A
# data root that does not exist yet first gets the samples and the prepared
# profile "Samples"; an existing one is never written over.
#   tools/run-kestrun.sh BIN_FOLDER
set -euo pipefail

bin=${1:?usage: tools/run-kestrun.sh BIN_FOLDER}
root=$("$bin/kestrun_samples" --print-root)

if [ ! -e "$root" ]; then
  "$bin/kestrun_samples" "$root"
fi

plate="$root/images/plate.png"
if [ ! -f "$plate" ]; then
  echo "No sample plate in $root (it existed before the samples); starting without it." >&2
  exec "$bin/kestrun"
fi
exec "$bin/kestrun" "$plate"
