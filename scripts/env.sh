# The one place that names the wines, their prefixes and the test display.
# Sourced (with $root set to the checkout) by the scripts, the wrapper
# ./pellform, bench/run and every build tree's wine-run; CMake reads it too.

# Debian's Wine 8: 64-bit Windows programs (the x86_64 twin, the tool).
PELLFORM_WINE64=/usr/lib/wine/wine64
PELLFORM_WINESERVER64=/usr/lib/wine/wineserver
# The WoW64 Wine 10 that runs the i686 product (scripts/install-wow64-wine);
# PELLFORM_WOW64_WINE set before names another folder.
PELLFORM_WOW64_WINE="${PELLFORM_WOW64_WINE:-/opt/pellform-wine}"
PELLFORM_WOW64_WINE_LIB=usr/lib/x86_64-linux-gnu/wine
PELLFORM_WOW64_WINE_PROGRAM="$PELLFORM_WOW64_WINE/$PELLFORM_WOW64_WINE_LIB/wine"
# The server of a wine program: the one beside it.
pellform_wineserver_of() { printf '%s/wineserver\n' "$(dirname "$1")"; }
# A build tree's own prefix is this folder inside it; the wrapper's tool runs
# keep one of their own beside the x64 tree's.
PELLFORM_PREFIX_NAME=wineprefix
PELLFORM_TOOL_PREFIX="$root/build/x64/wineprefix-tool"
PELLFORM_EDITOR_PREFIX="$root/build/x64/$PELLFORM_PREFIX_NAME"
# One private X server for wine runs with no display: 24 bits deep, so colors
# read back exactly.
PELLFORM_XVFB_ARGS="-screen 0 1280x1024x24"
# No mono or gecko prompts, no debugger (a crash must end a run, not hang it),
# no noise on stderr.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# Wine reads the file names of its command line in the locale's character set:
# Linux names are UTF-8 whatever locale a shell happens to run in.
case "$(locale charmap 2>/dev/null)" in
UTF-8) ;;
*) export LC_ALL=C.UTF-8 ;;
esac
