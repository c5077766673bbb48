#!/usr/bin/env bash
# The main job: builds the program (release preset), starts a throwaway local PostgreSQL
# cluster holding the product's database, lets the program's first start-up bring it up to
# date with the release's update scripts (as at a shop), loads the demo company, writes the
# configuration, exports invoice 4317 to
# racun.txt and a PDF (plus the five-page invoice 4320 and the euro invoice 4318 in
# English), says where the files are, and opens the console when a display is present.
# The cluster is stopped again at the end.
#   scripts/demo.sh            (files in ./demo of the checkout)
#   DORVAN_DEMO_SKIP_SETUP=1   skips the Debian package check
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
# shellcheck source=scripts/demo_env.sh
source scripts/demo_env.sh

if [ -z "${DORVAN_DEMO_SKIP_SETUP:-}" ]; then
  bash scripts/setup.sh
fi
cmake --preset release >/dev/null
cmake --build --preset release --target dorvan-print dorvan-console dorvan-cli -j "$(nproc)"
bin="$here/build/release/app"

work="$here/demo"
mkdir -p "$work"
demo_cluster_start "$work"
trap 'demo_web_stop; demo_cluster_stop' EXIT
echo "PostgreSQL demo cluster on 127.0.0.1:$DEMO_PORT ($DEMO_PGDIR)"
demo_product_database
demo_install "$work"
# The public-address page answers on loopback, so the start-up also reads the program
# version from the local central information database.
demo_web_start

# A copy of the release's update scripts beside the program (the start-up removes applied
# scripts from that folder, so never the checkout's own), and one more of the demo's own:
# the first start-up applies them in name order (the demo's adds a column with a default)
# and logs them; the next one removes the files.
mkdir -p "$DORVAN_EXE_DIR/database_scripts"
cp "$here"/database_scripts/*.sql "$DORVAN_EXE_DIR/database_scripts/"
cat >"$DORVAN_EXE_DIR/database_scripts/900_tetel_polc.sql" <<'SQL'
ALTER TABLE tetel ADD COLUMN polc varchar(20) DEFAULT 'A-1';
SQL

# The printer port: a file of the demo folder stands for LPT1.
export DORVAN_LPT1="$work/LPT1.prn"
rm -f "$work"/racun*.txt "$work"/racun*.pdf "$DORVAN_LPT1"

cd "$work"
echo "Update scripts of the first start-up on the product's database (dorvan-cli update-scripts):"
"$bin/dorvan-cli" update-scripts
# The demo company, entered after the update as a shop's own data would be.
demo_data_load
echo "  the new column: $(demo_psql -d Dorvan_Data -At -c "SELECT polc FROM tetel WHERE kod = 1")"

# The console's print test: racun.txt in the current folder, copied to the port.
"$bin/dorvan-print"
"$bin/dorvan-print" --pdf racun.pdf
"$bin/dorvan-print" --key 4320 --text racun_4320.txt --pdf racun_4320.pdf
"$bin/dorvan-print" --key 4318 --lang 00000409 --text racun_4318_en.txt --pdf racun_4318_en.pdf

echo
echo "Invoice 4317 as plain text (Windows-1250, CR LF): $work/racun.txt"
echo "  the same bytes as sent to the port LPT1:        $DORVAN_LPT1"
echo "Invoice 4317 as PDF:                              $work/racun.pdf"
echo "Long invoice 4320 (70 lines):                     $work/racun_4320.txt, $work/racun_4320.pdf"
echo "Euro invoice 4318 in Hungarian and English:       $work/racun_4318_en.txt, $work/racun_4318_en.pdf"
echo "Configuration: $DORVAN_EXE_DIR""Dorvan.ini (per-machine copy below $XDG_DATA_HOME)"
echo "View the text as UTF-8:  iconv -f WINDOWS-1250 -t UTF-8 $work/racun.txt"

echo
echo "Stock of the demo company (dorvan-cli):"
echo "  white bread, central warehouse, now:        $("$bin/dorvan-cli" stock 4 1)"
echo "  white bread, shop warehouse, on 2026-12-07: $("$bin/dorvan-cli" stock 4 2 --date 2026-12-07)"
echo "  white bread, shop warehouse, on 2026-12-08: $("$bin/dorvan-cli" stock 4 2 --date 2026-12-08)"
echo "  paint lot LOT-2611-A (quantity, reserved, free): $("$bin/dorvan-cli" stock-piece LOT-2611-A 7 1)"
echo "  paint, average cost after the second receipt: $("$bin/dorvan-cli" average-cost 7 1)"
"$bin/dorvan-cli" sign --start --user kovacsne
echo "  signed in after a presence signal: $("$bin/dorvan-cli" clients --all)"

if [ -n "${DISPLAY:-}" ]; then
  echo
  echo "Opening the console (close its window to end the demo)."
  "$bin/dorvan-console"
else
  echo
  echo "No display: the console window is not opened."
fi
