#!/usr/bin/env bash
# The desktop entry and the AppStream metadata pass their validators.
#   validate_metadata.sh <source folder>
set -euo pipefail
source="$1"
if ! command -v desktop-file-validate >/dev/null || ! command -v appstreamcli >/dev/null; then
  bash "$source/scripts/deps.sh" desktop-file-utils appstream
fi
desktop-file-validate "$source/packaging/org.nollex.Nollex.desktop"
appstreamcli validate --no-net "$source/packaging/org.nollex.Nollex.metainfo.xml"
