#!/usr/bin/env bash
# Rewrites the manual's table of project-file keys (between <!-- keys --> and <!-- /keys -->)
# from the key table, as ProjectFileTest.ManualListsEveryKey prints it: run after adding or
# changing a row of files/project_keys.cpp. Usage: scripts/update-manual-keys.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target sheet_tests >/dev/null
out=$("$build/tests/sheet_tests" --gtest_filter='ProjectFileTest.ManualListsEveryKey' || true)
python3 - "$out" <<'PY'
import sys
out = sys.argv[1]
if 'The rows:\n' not in out:
    sys.exit(0)  # already in step
rows = out.split('The rows:\n', 1)[1]
rows = rows[:rows.rindex('</tr>\n') + 6]
path = 'docs/hydrant-calc-manual.html'
html = open(path, encoding='utf-8').read()
begin = html.index('<!-- keys -->\n') + len('<!-- keys -->\n')
end = html.index('<!-- /keys -->')
open(path, 'w', encoding='utf-8').write(html[:begin] + rows + html[end:])
PY
