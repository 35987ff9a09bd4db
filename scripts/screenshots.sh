#!/usr/bin/env bash
# Takes the pictures of docs/ again: the window tests that show the windows save
# them while running on a virtual screen with real fonts. The pictures the help
# pages show are then copied into data/help/, and the English help page is
# drawn by a headless browser into docs/help-page.png (when one is installed:
# chromium-headless-shell or chromium).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

xvfb-run -a -s "-screen 0 1280x1024x24" \
  env QT_QPA_PLATFORM=xcb WORDLARK_SCREENSHOT_DIR="$root/docs" \
  "$build/tests/wordlark_gui_tests" \
  --gtest_filter='ScreenshotTest.*:DesktopTest.MenusAsTheUserSeesThem:ShippedWindowTest.*:DialogScreenshotTest.*:SendTest.TheDialogAsTheUserSeesIt:WizardTest.PagesTwoAndThreeAsTheUserSeesThem:UserCopyTest.TheWindowOnTheUsersCopyAsTheUserSeesIt'

for picture in "$root"/data/help/*.png; do
  cp "$root/docs/$(basename "$picture")" "$picture"
done

browser=$(command -v chromium-headless-shell || command -v chromium || true)
if [[ -n $browser ]]; then
  "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1000,1500 \
    --screenshot="$root/docs/help-page.png" "file://$root/data/Wordlark_English.html" 2>/dev/null
else
  echo "screenshots: no headless browser; docs/help-page.png is left as it is" >&2
fi
