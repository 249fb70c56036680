#!/usr/bin/python3
"""The browser build on touch screens, driven by fingers only: touch emulated in headless
chromium (set before the page loads), fingers put down and lifted through the devtools protocol.

A phone held sideways (844 x 390, two device pixels to a page pixel): the question answered by a
tap on No, the intro and the title skipped by taps, four players chosen and the game started by
taps; once the turn buttons show, four fingers go down at once, one on each player's button
(player 1 left, 2 right, 3 right, 4 left), and the board the game leaves shows each player's
tiles worn the way its finger asked, none the other way or straight on. Then the page becomes a
tablet (1180 x 820) and the picture is letterboxed anew; a tap starts a game, the Escape button
opens the credits and a tap leaves them. Screenshots of the whole page (buttons included) are kept
as web-touch-question.png, web-touch-phone.png and web-touch-tablet.png, the canvas's frames as
web-touch-STAGE.png.

Usage: touch_game.py WEB_DIR SERVE_WEB SCREEN_WATCH QUIBBET_XM RECORDING_CHECK GAME_SCREENS
Exit 0 on success, 77 when something it needs is missing, 1 on failure.
"""
import shutil
import sys
import tempfile

import browser_game as walk

PHONE = (844, 390, 2)
TABLET = (1180, 820, 1)
MIN_BUTTON = 48  # page pixels: a fingertip

# On level 0 the players start at (3, 2), (3, 7), (9, 2) and (9, 7), facing down or up, so a
# quarter turn before the first step sends each along its row; these four meet in pairs, bounce
# and wear their tiles through. Per finger: the button, the cell that is a hole once the game is
# over, and the cell beside the start the other way, still whole (as is the one straight ahead).
FINGERS = [("seat1.left", (5, 2), (2, 2), (3, 3)), ("seat2.right", (5, 7), (2, 7), (3, 6)),
           ("seat3.right", (7, 2), (10, 2), (9, 3)), ("seat4.left", (7, 7), (10, 7), (9, 6))]


def cell(col, row, bound):
    return f"grass@{40 + 40 * col},{40 + 40 * row},40,40{bound}"


BUTTONS = """return [...document.querySelectorAll('.touch-button')].map((b) => {
  const r = b.getBoundingClientRect();
  return {name: [...b.classList].slice(1).reverse().join('.'), x: r.x, y: r.y, w: r.width, h: r.height};
});"""


def device(page, width, height, scale):
    page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": scale, "mobile": True,
        "screenOrientation": {"type": "landscapePrimary", "angle": 90}})


def fingers(page, points):
    """The fingers now on the glass (an empty list lifts them all)."""
    kind = "touchStart" if points else "touchEnd"
    page.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
        "type": kind, "touchPoints": [{"x": x, "y": y, "id": i} for i, (x, y) in enumerate(points)]})


def tap(page, x, y):
    fingers(page, [(x, y)])
    fingers(page, [])


def vtap(page, vx, vy):
    tap(page, *page.page_point(vx, vy))


def centre(rect):
    return rect["x"] + rect["w"] / 2, rect["y"] + rect["h"] / 2


def buttons(page):
    return {b["name"]: b for b in page.js(BUTTONS)}


def check_sizes_and_places(page, shown, outside, where):
    """Every button a fingertip wide; the turn buttons off the picture where `outside` says."""
    (left, top), (right, bottom) = page.page_point(0, 0), page.page_point(639, 479)  # the picture
    over = []
    for name, b in shown.items():
        if b["w"] < MIN_BUTTON or b["h"] < MIN_BUTTON:
            walk.fail(f"the {name} button is {b['w']:.0f} x {b['h']:.0f} page pixels, under {MIN_BUTTON}")
        if name != "escape" and b["x"] + b["w"] > left and b["x"] < right and b["y"] + b["h"] > top and b["y"] < bottom:
            over.append(name)
    if outside and over:
        walk.fail(f"buttons over the picture although the bars leave room: {over}")
    turn = shown["seat1.left"]
    print(f"{where}: turn buttons of {turn['w']:.0f} x {turn['h']:.0f} page pixels, "
          f"{len(over)} of {len(shown) - 1} over the picture's edge")


def touch_game(page):
    device(page, *PHONE)
    page.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    page.driver.get(page.url)
    page.wait_for("the question", lambda: page.js("return !document.getElementById('prompt').hidden"))
    no = page.js("const r = document.getElementById('no').getBoundingClientRect(); return {x: r.x, y: r.y, w: r.width, h: r.height};")
    if no["h"] < MIN_BUTTON:
        walk.fail(f"the question's buttons are {no['h']:.0f} page pixels high, under {MIN_BUTTON}")
    page.driver.save_screenshot("web-touch-question.png")
    tap(page, *centre(no))

    page.see("touch-intro", '"${STAGE_INTRO[@]}"')
    vtap(page, 320, 240)
    page.see("touch-title", '"${STAGE_TITLE[@]}"')
    vtap(page, 320, 240)
    page.see("touch-menu", '"${STAGE_MENU[@]}"')
    vtap(page, 328, 208)  # 4 players
    page.see("touch-menu-4", '"${STAGE_MENU[@]}" "$(score_zero 3)"')
    vtap(page, 299, 300)  # start
    page.wait_for("the turn buttons", lambda: len(buttons(page)) == 9)
    shown = buttons(page)
    check_sizes_and_places(page, shown, True, "phone")
    # All four at once, within the countdown: each player turns before its first step.
    fingers(page, [centre(shown[name]) for name, *_ in FINGERS])
    page.driver.save_screenshot("web-touch-phone.png")
    fingers(page, [])
    page.see("touch-turned", '"${STAGE_MENU[@]}" ' + " ".join(
        f"'{cell(*hole, '<=0.05')}' '{cell(*other, '>=0.3')}' '{cell(*ahead, '>=0.3')}'"
        for _, hole, other, ahead in FINGERS))

    device(page, *TABLET)  # the device turned, or another: the picture fits the new page at once
    page.wait_for("the tablet's letterbox", lambda: page.js(
        "const c = document.getElementById('canvas'); return c.width === 1180 && c.height === 820;"))
    vtap(page, 299, 300)  # start again
    page.wait_for("the tablet's buttons", lambda: len(buttons(page)) == 9)
    check_sizes_and_places(page, buttons(page), False, "tablet")
    page.driver.save_screenshot("web-touch-tablet.png")

    tap(page, *centre(buttons(page)["escape"]))
    page.see("touch-credits", '"${STAGE_CREDITS[@]}"')
    vtap(page, 320, 240)
    page.see("touch-back", "'cream@60,60,140,90<=0.1' 'cream@380,300,160,100<=0.1'")
    print("touch: the question, the menu, four fingers at once, the credits and back, by taps alone")


def main():
    args = sys.argv[1:]
    if len(args) < 6:
        sys.exit(__doc__)
    walk.needs(args)
    work = tempfile.mkdtemp(prefix="quibbet-touch-")
    page = walk.Page(args, work)
    try:
        touch_game(page)
    finally:
        page.close()
        shutil.rmtree(work, ignore_errors=True)
    print("PASS: the browser build by touch")


if __name__ == "__main__":
    main()
