#!/usr/bin/env bash
# Measures the ledger on a large file against sqlite3 running the same
# statements in the same run:
#   open ratio   = time to open the ledger view / time of sqlite3 "select * from xmb"
#   memory ratio = peak resident memory of the open / size of the file
#   search ratio = the main window's search for one contract / sqlite3 with that condition
#   all ratio    = "全部" (reload every row) / sqlite3 "select * from xmb"
set -euo pipefail
cd "$(dirname "$0")/.."
ROWS=${ROWS:-1000000}
WORK=${WORK:-/tmp/zarn-bench-$ROWS}

scripts/install-deps.sh
scripts/build.sh >/dev/null

mkdir -p "$WORK"
if [ ! -e "$WORK/zarn.mdb" ]; then
    echo "creating $ROWS rows in $WORK/zarn.mdb"
    build/tools/zarn-db init "$WORK/zarn.mdb" --rows "$ROWS" --seed 7
fi
file_bytes=$(stat -c %s "$WORK/zarn.mdb")

best() { sort -g | head -n 1; }
now() { date +%s.%N; }

# Warm the page cache once so that both sides read from memory.
cat "$WORK/zarn.mdb" >/dev/null

reference=$(for i in 1 2 3; do
    t0=$(now); sqlite3 "$WORK/zarn.mdb" "select * from xmb" >/dev/null; t1=$(now)
    echo "$t1 - $t0" | bc -l
done | best)

runs=$(cd "$WORK" && for i in 1 2 3; do "$OLDPWD/build/bench/zarn-bench-open"; done)
open_seconds=$(echo "$runs" | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' | best)
peak_kib=$(echo "$runs" | sed -n 's/.*peak_kib=\([0-9]*\).*/\1/p' | sort -n | tail -n 1)
rows=$(echo "$runs" | sed -n 's/.*rows=\([0-9]*\).*/\1/p' | head -n 1)

contract=$(sqlite3 "$WORK/zarn.mdb" "select \"合同号\" from xmb where rowid = $((ROWS / 2 + 1))")
search_reference=$(for i in 1 2 3; do
    t0=$(now); sqlite3 "$WORK/zarn.mdb" "select * from xmb where \"合同号\" = '$contract'" >/dev/null; t1=$(now)
    echo "$t1 - $t0" | bc -l
done | best)
queries=$(cd "$WORK" && for i in 1 2 3; do "$OLDPWD/build/bench/zarn-bench-queries" "$contract" 2>/dev/null; done)
search_seconds=$(echo "$queries" | sed -n 's/.*search_seconds=\([0-9.]*\).*/\1/p' | best)
found=$(echo "$queries" | sed -n 's/.* rows=\([0-9]*\).*/\1/p' | head -n 1)
all_seconds=$(echo "$queries" | sed -n 's/.*all_seconds=\([0-9.]*\).*/\1/p' | best)

printf 'rows                 %d\n' "$rows"
printf 'file size            %.1f MiB\n' "$(echo "$file_bytes / 1048576" | bc -l)"
printf 'sqlite3 select *     %.3f s\n' "$reference"
printf 'open ledger view     %.3f s\n' "$open_seconds"
printf 'peak memory          %.1f MiB\n' "$(echo "$peak_kib / 1024" | bc -l)"
printf 'open ratio           %.2f   (target <= 1.0)\n' "$(echo "$open_seconds / $reference" | bc -l)"
printf 'memory ratio         %.2f   (target <= 2.0)\n' "$(echo "$peak_kib * 1024 / $file_bytes" | bc -l)"
printf 'search %-13s %.4f s for %d rows; sqlite3 %.4f s\n' "$contract" "$search_seconds" "$found" "$search_reference"
printf 'search ratio         %.2f\n' "$(echo "$search_seconds / $search_reference" | bc -l)"
printf '全部 (all rows)      %.3f s\n' "$all_seconds"
printf 'all ratio            %.2f\n' "$(echo "$all_seconds / $reference" | bc -l)"

# The report to PDF: pages per second against the naive QPdfWriter loop
# (the report is written by as many processes as cores, at most 2, and
# joined), and the memory of one writing process for 100 and for 2,000 pages
# of the same ledger: flat in the page count.
if [ "${REPORT:-1}" = 1 ]; then
    t0=$(now); (cd "$WORK" && "$OLDPWD/build/tools/zarn-report" -o "$WORK/report.pdf" 2>/dev/null); t1=$(now)
    report_seconds=$(echo "$t1 - $t0" | bc -l)
    report_pages=$(pdfinfo "$WORK/report.pdf" | sed -n 's/^Pages: *//p')
    peak_of() {
        (cd "$WORK" && /usr/bin/time -f 'peak_kib=%M' "$OLDPWD/build/tools/zarn-report" -o "$WORK/part.pdf" \
            --jobs 1 --pages "$1") 2>&1 | sed -n 's/.*peak_kib=\([0-9]*\).*/\1/p'
    }
    peak_100=$(peak_of 1-100)
    peak_2000=$(peak_of 1-2000)
    naive=$(cd "$WORK" && "$OLDPWD/build/bench/zarn-bench-naive-pdf" "$WORK/naive.pdf" 2>/dev/null)
    naive_pages=$(echo "$naive" | sed -n 's/.*pages=\([0-9]*\).*/\1/p')
    naive_seconds=$(echo "$naive" | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p')
    # 23 rows on page 1, 27 on each further page; the summary needs room for 26.
    row_pages=$(( (ROWS + 4 + 26) / 27 ))
    last_rows=$(( ROWS + 4 - 27 * (row_pages - 1) ))
    expected_pages=$(( last_rows <= 26 ? row_pages : row_pages + 1 ))
    printf 'report pages         %d in the PDF (expected %d)\n' "$report_pages" "$expected_pages"
    printf 'report               %.1f s, %.0f pages/s (target >= 500)\n' "$report_seconds" "$(echo "$report_pages / $report_seconds" | bc -l)"
    printf 'naive QPdfWriter     %.0f pages/s\n' "$(echo "$naive_pages / $naive_seconds" | bc -l)"
    printf 'report/naive ratio   %.2f\n' "$(echo "($report_pages / $report_seconds) / ($naive_pages / $naive_seconds)" | bc -l)"
    printf 'report memory        %.1f MiB for 100 pages, %.1f MiB for 2000 pages (one process; the ledger open alone %.1f MiB)\n' \
        "$(echo "$peak_100 / 1024" | bc -l)" "$(echo "$peak_2000 / 1024" | bc -l)" "$(echo "$peak_kib / 1024" | bc -l)"
fi

# The preview's run: the whole layout into the page model, handling window
# messages before every row; what the page model holds.
if [ "${REPORT:-1}" = 1 ]; then
    preview=$(cd "$WORK" && "$OLDPWD/build/bench/zarn-bench-preview" 2>/dev/null)
    printf 'preview layout       %s s for %s pages; page model %.1f MiB (%.0f bytes a row)\n' \
        "$(echo "$preview" | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p')" \
        "$(echo "$preview" | sed -n 's/.*pages=\([0-9]*\).*/\1/p')" \
        "$(echo "$(echo "$preview" | sed -n 's/.*model_kib=\([0-9]*\).*/\1/p') / 1024" | bc -l)" \
        "$(echo "$(echo "$preview" | sed -n 's/.*model_kib=\([0-9]*\).*/\1/p') * 1024 / $ROWS" | bc -l)"
fi
