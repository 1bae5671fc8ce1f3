#!/bin/sh
# Installs the missing Debian packages of the named sets: build (building and
# running, build-deps.txt), test (the tests, build-deps-test.txt) and tools
# (lint, fuzzing, benchmarks, screenshots, build-deps-tools.txt); build when
# none is named. Does nothing when all are present; never asks a question.
set -eu

here="$(dirname "$0")"
[ "$#" -gt 0 ] || set -- build
missing=""
for set in "$@"; do
    case "$set" in
    build) list="$here/build-deps.txt" ;;
    test) list="$here/build-deps-test.txt" ;;
    tools) list="$here/build-deps-tools.txt" ;;
    *)
        echo "install-deps.sh: no package set \"$set\"; the sets are build, test and tools" >&2
        exit 2
        ;;
    esac
    for pkg in $(grep -v '^#' "$list"); do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing="$missing $pkg"
        fi
    done
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
