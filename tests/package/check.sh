#!/bin/sh
# Makes the Debian package from a build tree and holds it to Debian's and the desktops' rules.
# Usage: check.sh CPACK BUILD_DIR. Exits 77 (skip) when a tool it needs is missing.
set -eu
for tool in dpkg-shlibdeps file lintian desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "$tool not found, skipping"; exit 77; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$1" --config "$2/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb=$(echo "$out"/rupika-tokei_*.deb)
# A sound server is the machine's choice: installing the clock must not bring one (libcanberra-pulse needs
# one), while a desktop that has one should still get the plugin that reaches it.
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in *pulse* | *pipewire*)
  echo "Depends brings a sound server: $depends" >&2
  exit 1
  ;;
esac
dpkg-deb -f "$deb" Recommends | grep -q 'libcanberra-pulse' || { echo "libcanberra-pulse is not recommended" >&2; exit 1; }
# Unless a packager names one, a local build's maintainer is its builder, whose host need not take mail.
lintian --fail-on error --suppress-tags bogus-mail-host,bogus-mail-host-in-debian-changelog,root-in-contact "$deb"
dpkg-deb -x "$deb" "$out/root"
desktop-file-validate "$out"/root/usr/share/applications/*.desktop
metainfo=$(echo "$out"/root/usr/share/metainfo/*.metainfo.xml)
# A local build names no web page (a publisher's does, with -DRUPIKA_HOMEPAGE): AppStream 1.0 warns of that
# alone, where 0.16 knows no such check and would refuse to hear of it.
override=
case $(appstreamcli --version) in *" 0."*) ;; *)
  grep -q '<url type="homepage">' "$metainfo" || override=--override=url-homepage-missing=info
  ;;
esac
appstreamcli validate --no-net --pedantic $override "$metainfo"
