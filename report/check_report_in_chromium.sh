#!/usr/bin/env bash
# Opens an HTML report in a headless Chromium, checks that all 13 pictures
# load (naturalWidth > 0) and saves a screenshot of the rendered page.
#
#   report/check_report_in_chromium.sh REPORT.html [SCREENSHOT.png]
#
# Needs Debian's chromium (apt-get install -y chromium). Exit status 0 when
# every picture loads, 1 otherwise, 2 on a usage error.
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
  echo "usage: $0 REPORT.html [SCREENSHOT.png]" >&2
  exit 2
fi
report=$(realpath "$1")
screenshot=${2:-}
[[ -f "$report" ]] || { echo "no such report: $report" >&2; exit 2; }

browser=""
for b in chromium chromium-browser; do
  if command -v "$b" >/dev/null 2>&1; then browser=$b; break; fi
done
[[ -n "$browser" ]] || { echo "chromium is not installed (apt-get install -y chromium)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

flags=(--headless --no-sandbox --disable-gpu --disable-quic --no-first-run
       --disable-background-networking --disable-component-update --disable-sync
       --user-data-dir="$work/profile")

# A page beside the profile that loads the report in a frame and writes what
# it finds into its own DOM, which --dump-dom prints.
cat > "$work/check.html" <<HTML
<!DOCTYPE html>
<html><body>
<pre id="result">PENDING</pre>
<iframe id="report" width="1100" height="900"></iframe>
<script>
const frame = document.getElementById('report');
function check() {
  let doc;
  try { doc = frame.contentDocument; } catch (e) { doc = null; }
  if (!doc) { document.getElementById('result').textContent = 'NOACCESS'; return; }
  const images = Array.from(doc.images);
  if (images.some(i => !i.complete)) { setTimeout(check, 100); return; }
  const loaded = images.filter(i => i.naturalWidth > 0);
  document.getElementById('result').textContent =
    'IMAGES ' + images.length + ' LOADED ' + loaded.length + '\n' +
    images.map(i => i.getAttribute('src') + ' ' + i.naturalWidth + 'x' + i.naturalHeight).join('\n');
}
frame.onload = check;
frame.src = $(printf '%s' "file://$report" | python3 -c 'import json,sys,urllib.parse; print(json.dumps(urllib.parse.quote(sys.stdin.read(), safe="/:")))');
</script>
</body></html>
HTML

dom=$(timeout 120 "$browser" "${flags[@]}" --allow-file-access-from-files --virtual-time-budget=15000 \
        --dump-dom "file://$work/check.html" 2>"$work/stderr.txt" || true)
result=$(printf '%s' "$dom" | python3 -c '
import html, re, sys
m = re.search(r"<pre id=\"result\">(.*?)</pre>", sys.stdin.read(), re.S)
print(html.unescape(m.group(1)) if m else "NORESULT")')
echo "$result"

if [[ -n "$screenshot" ]]; then
  mkdir -p "$(dirname "$screenshot")"
  timeout 120 "$browser" "${flags[@]}" --hide-scrollbars --window-size=1000,3300 \
      --screenshot="$(realpath -m "$screenshot")" "file://$report" 2>>"$work/stderr.txt" >/dev/null || true
  [[ -s "$screenshot" ]] && echo "screenshot: $screenshot" || echo "no screenshot written" >&2
fi

if [[ "$result" == "IMAGES 13 LOADED 13"* ]]; then
  echo "OK: all 13 pictures load"
  exit 0
fi
echo "FAILED: not every picture loads" >&2
grep -v -e dbus -e "unexpected operator" "$work/stderr.txt" | sed -n 1,20p >&2 || true
exit 1
