# Sourced by the scripts that make a Wine prefix (the test runner's template, the demo of
# `make run`, the screenshots), so that every prefix is prepared the same way.
#
# astrel_prepare_prefix DIR   makes DIR a ready Wine prefix (WINEARCH and the overrides as the
#                             caller has set them); Wine's output goes to DIR.log.
#   - Without a window manager (a bare Xvfb display) Wine waits about 2 s whenever a dialog
#     closes; windows that Wine does not hand to a window manager ("Managed" = "N") don't.
#   - Debian's Wine scans only the prefix's Fonts folder and fontconfig's folders, not the fonts
#     it ships in its own data folder, so Marlett (the glyphs of caption buttons: "0 1 r" is what
#     shows without it), Tahoma and MS Sans Serif were missing and the dialogs fell back to another
#     face. They are linked into the prefix's Fonts folder, as a Windows installation has them.
#   - No crash dialog: a test or a demo that fails ends instead of waiting for a click.
# astrel_prefix_ready DIR     true when DIR was prepared by this version of the helper.

ASTREL_PREFIX_VERSION=2
ASTREL_WINE_FONTS=${ASTREL_WINE_FONTS:-/usr/share/wine/fonts}

astrel_prefix_ready() { [ -f "$1/.astrel-prefix-$ASTREL_PREFIX_VERSION" ]; }

astrel_prepare_prefix() {
  local dir=$1 log=$1.log f
  (
    export WINEPREFIX=$dir
    wineboot -i >"$log" 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1 </dev/null
    wineserver -w
  )
  [ -f "$dir/system.reg" ] || return 1
  for f in "$ASTREL_WINE_FONTS"/*.ttf "$ASTREL_WINE_FONTS"/*.fon; do
    [ -e "$f" ] || continue
    [ -e "$dir/drive_c/windows/Fonts/$(basename "$f")" ] || ln -s "$f" "$dir/drive_c/windows/Fonts/$(basename "$f")"
  done
  touch "$dir/.astrel-prefix-$ASTREL_PREFIX_VERSION"
}
