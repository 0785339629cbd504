#!/usr/bin/env bash
# Builds Tarvel, prepares a demo workspace in demo/ the first time, and
# starts the program there.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${TARVEL_BUILD_DIR:-$ROOT/build}"
DEMO_DIR="$ROOT/demo"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "run: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "     Tarvel is a desktop program and needs one. On a machine without a screen," >&2
    echo "     run it on a virtual display instead:  xvfb-run -a scripts/run.sh" >&2
    exit 2
fi

"$ROOT/scripts/setup.sh"

mkdir -p "$DEMO_DIR"
if [[ ! -e "$DEMO_DIR/TVL.INI" ]]; then
    cat >"$DEMO_DIR/TVL.INI" <<INI
[Access]
DSN=$DEMO_DIR/tarvel.sqlite
UID=0

[User]
Name=株式会社デモ精工
Address=埼玉県川口市本町4-1-8

[Transfer]
ClientCode=1234567890
ClientName=ｶ)ﾃﾞﾓｾｲｺｳ
BankCode=0901
BankName=ﾃﾞﾓｷﾞﾝｺｳ
BranchCode=101
BranchName=ﾎﾝﾃﾝ
AccountType=1
AccountNumber=7777777

[Income]
Lines=1030001:所得税の扶養,1300000:社会保険の扶養

[Denpyo]
MarginTop=0
MarginLeft1=0
MarginLeft2=0
INI
    echo "run: wrote $DEMO_DIR/TVL.INI"
fi
if [[ ! -e "$DEMO_DIR/tarvel.sqlite" ]]; then
    "$BUILD_DIR/tools/tarvel-admin" demo "$DEMO_DIR/tarvel.sqlite"
fi

cd "$DEMO_DIR"
exec "$BUILD_DIR/src/app/tarvel" "$@"
