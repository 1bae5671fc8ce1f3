#!/bin/sh
# Installs the Debian packages listed in build-deps.txt that are missing.
# Does nothing when all are present; never asks a question.
set -eu

list="$(dirname "$0")/build-deps.txt"
missing=""
for pkg in $(grep -v '^#' "$list"); do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing="$missing $pkg"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    as_root=""
elif command -v sudo >/dev/null 2>&1; then
    as_root="sudo"
else
    echo "These packages are missing:$missing" >&2
    echo "Install them as root (apt-get install$missing) or install sudo." >&2
    exit 1
fi

echo "Installing missing packages:$missing"
export DEBIAN_FRONTEND=noninteractive
$as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
# shellcheck disable=SC2086
$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing </dev/null
