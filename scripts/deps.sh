#!/usr/bin/env bash
# Installs what building and running Nollex needs on Debian 12 (as root, or with sudo).
set -euo pipefail
# gcc-12-locales: the compiler's own messages in the user's language (Japanese among them);
# qt6-translations-l10n: the same for the toolkit's standard buttons and file dialogs;
# gdb: the debugger that steps through the learner's program.
# valgrind: catches the values a program uses before it sets them (the replay after a guarded run).
# clang-format: Edit → Format lays out the page with it; clangd: completion and parameter hints.
packages=(build-essential cmake qt6-base-dev libqscintilla2-qt6-dev libgl-dev libgtest-dev xterm fonts-noto-cjk fonts-dejavu-core
          gcc-12-locales qt6-translations-l10n gdb valgrind clang-format clangd xvfb xauth "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
