#!/usr/bin/env bash
# Makes the Debian package from this build (as scripts/package does) and checks what a user
# gets from it: every file a desktop needs, nothing outside /usr, and dependencies found from
# the binary with versions. Skipped (77) without the packaging tools.
set -u
build=$1 source=$2
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! (cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log"
  exit 1
fi
deb=$(ls "$work"/vrl_*.deb)
failed=0
fail() { echo "FAIL: $*"; failed=1; }

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
# vrl-extcap goes where Debian's Wireshark looks for extcap programs.
expected=$({ cat <<'LIST'; echo "./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/wireshark/extcap/vrl-extcap"; } | sort
./usr/bin/vrl
./usr/bin/vrl-capture
./usr/share/applications/vrl.desktop
./usr/share/doc/vrl/changelog.gz
./usr/share/doc/vrl/copyright
./usr/share/doc/vrl/vrl-capture@.service
./usr/share/icons/hicolor/128x128/apps/vrl.png
./usr/share/icons/hicolor/16x16/apps/vrl.png
./usr/share/icons/hicolor/22x22/apps/vrl.png
./usr/share/icons/hicolor/24x24/apps/vrl.png
./usr/share/icons/hicolor/256x256/apps/vrl.png
./usr/share/icons/hicolor/32x32/apps/vrl.png
./usr/share/icons/hicolor/48x48/apps/vrl.png
./usr/share/icons/hicolor/64x64/apps/vrl.png
./usr/share/icons/hicolor/scalable/apps/vrl.svg
./usr/share/man/man1/vrl-capture.1.gz
./usr/share/man/man1/vrl.1.gz
./usr/share/metainfo/com.tellumar.vrl.metainfo.xml
./usr/share/vrl/translations/vrl_en.qm
./usr/share/vrl/scripts/at-responder.lua
./usr/share/vrl/scripts/modbus-slave.lua
./usr/share/vrl/scripts/test-sequence.lua
./usr/share/mime/packages/vrl.xml
LIST
)
[[ "$files" == "$expected" ]] || fail "file list differs:"$'\n'"$(diff <(echo "$expected") <(echo "$files"))"

[[ $(dpkg-deb -f "$deb" Package) == vrl ]] || fail "package name"
[[ $(dpkg-deb -f "$deb" Version) == 6.72 ]] || fail "version"
depends=$(dpkg-deb -f "$deb" Depends)
# What the binary links, each with the version its symbols need.
for lib in libc6 libstdc\\+\\+6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libudev1; do
  grep -Eq "(^|, )$lib \\(>= [^)]+\\)" <<<"$depends" || fail "Depends lacks $lib with a version: $depends"
done
grep -q "qt6-translations-l10n" <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "Recommends lacks Qt's translations"

# The file type the menu entry opens is the one the MIME package defines.
dpkg-deb -x "$deb" "$work/root"
mime=$(sed -n 's/.*mime-type type="\([^"]*\)".*/\1/p' "$work/root/usr/share/mime/packages/vrl.xml")
grep -qx "MimeType=$mime;" "$work/root/usr/share/applications/vrl.desktop" || fail "desktop entry does not open $mime"
grep -q 'glob pattern="\*.tnf"' "$work/root/usr/share/mime/packages/vrl.xml" || fail "no *.tnf glob"
# Exactly one of the desktop menus' main categories, so the entry shows in one menu only.
main=$(grep '^Categories=' "$work/root/usr/share/applications/vrl.desktop" | tr ';=' '\n\n' |
       grep -cxE 'AudioVideo|Audio|Video|Development|Education|Game|Graphics|Network|Office|Science|Settings|System|Utility')
[[ $main -eq 1 ]] || fail "$main main categories in the desktop entry"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/com.tellumar.vrl.metainfo.xml" >"$work/as.log" 2>&1 ||
    fail "AppStream data: $(cat "$work/as.log")"
fi
[[ $(gzip -dc "$work/root/usr/share/man/man1/vrl.1.gz" | head -1) == .TH\ VRL\ 1* ]] || fail "manual page"
grep -qx 'License: GPL-3+' "$work/root/usr/share/doc/vrl/copyright" || fail "copyright states no licence"
# The installed program speaks English under an English locale and Chinese under a Chinese one.
[[ $(LANGUAGE=en "$work/root/usr/bin/vrl" --help | head -1) == "Usage: vrl"* ]] || fail "no English --help"
[[ $(LANGUAGE=zh_CN "$work/root/usr/bin/vrl" --help | head -1) == "用法: vrl"* ]] || fail "no Chinese --help"
exit $failed
