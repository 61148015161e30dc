#!/usr/bin/env bash
# Packs a built tree into a .deb in a scratch folder, unpacks it as a root would hold it and
# runs the installed programs from there; the man pages must render.
set -euo pipefail
build=${1:?usage: check-package.sh BUILD_DIR}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" -D CPACK_PACKAGING_INSTALL_PREFIX=/usr >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/out/talvoria_*.deb)
depends=$(dpkg-deb --field "$deb" Depends)
grep -q libqt6core6 <<<"$depends" || { echo "no Qt dependency in $deb"; exit 1; }
dpkg -x "$deb" "$scratch/root"
root=$scratch/root/usr

"$root/bin/talvoria-cli" --version | grep -Eq '^talvoria-cli [0-9]+\.[0-9]+'
[ "$("$root/bin/talvoria-cli" --app-dir "$scratch/home" services | wc -l)" -eq 15 ]
if [ -x "$root/bin/talvoria" ]; then
  # The window needs what no library link shows: a Chinese font and Qt's Chinese texts.
  grep -Eq 'fonts-noto-cjk \| fonts-wqy' <<<"$depends" || { echo "no CJK font dependency: $depends"; exit 1; }
  grep -q 'qt6-translations-l10n' <<<"$depends" || { echo "no Qt translations dependency: $depends"; exit 1; }
  "$root/bin/talvoria" --version | grep -Eq '^talvoria [0-9]+\.[0-9]+'
  [ -f "$root/share/applications/talvoria.desktop" ]
  [ -f "$root/share/icons/hicolor/scalable/apps/talvoria.svg" ]
  grep -q '使用说明' "$root/share/talvoria/guide.html"
  MANWIDTH=80 man -l "$root/share/man/man1/talvoria.1" 2>&1 | grep -q 'talvoria - download'
fi
MANWIDTH=80 man -l "$root/share/man/man1/talvoria-cli.1" 2>&1 | grep -q 'EXIT STATUS'
[ -f "$root/share/bash-completion/completions/talvoria-cli" ]

# The completion offers every service short name the program knows.
for name in $("$root/bin/talvoria-cli" --app-dir "$scratch/home" services | cut -f2); do
  grep -Eq "local services=\".*\\b$name\\b" "$root/share/bash-completion/completions/talvoria-cli" ||
    { echo "completion lacks service $name"; exit 1; }
done
echo "package ok: $(basename "$deb")"
