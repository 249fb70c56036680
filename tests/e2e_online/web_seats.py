#!/usr/bin/python3
"""The browser's seats of the cross-play walk, driven line by line by the walk: a screen page in
one headless chromium and a phone, touch emulated, in another (each its own browser, so neither
is a background tab the browser slows down). One command a line on standard input; each answers
one line on standard output, "ok ..." or "FAIL: ..." (and then the process ends).

  screen URL           the room's link in a page: the question answered No, the game joins
  phone URL            the same link on a phone held upright: the question answered Controller
  see STAGE CHECK...   waits until the screen page's canvas passes the checks (game_screens.sh
                       words, expanded by bash); kept as web-STAGE.png
  key KEY              a key to the screen page (a letter)
  seat N               waits until the phone shows player N's two buttons and says so; kept
                       as web-phone-seat.png
  both                 two fingers on the phone at once, one on each button
  tap left|right       one finger on that button
  shot NAME            the phone's page as NAME.png

Usage: web_seats.py SCREEN_WATCH GAME_SCREENS
"""
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e_web"))
import browser_game as walk  # noqa: E402
import touch_game as touch  # noqa: E402

PHONE = (390, 844, 2)  # upright
LINE = "return document.getElementById('controller-line').textContent;"


# The answers have standard output to themselves; what the walk's helpers print goes to standard error.
ANSWERS = os.fdopen(os.dup(1), "w")
sys.stdout = sys.stderr


def answer(out):
    print(out, file=ANSWERS, flush=True)


def phone_page(page, url):
    page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": PHONE[0], "height": PHONE[1], "deviceScaleFactor": PHONE[2], "mobile": True,
        "screenOrientation": {"type": "portraitPrimary", "angle": 0}})
    page.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    page.driver.get(url)
    page.wait_for("the question", lambda: page.js("return !document.getElementById('prompt').hidden"))
    offer = page.js("return document.getElementById('controller-offer').hidden ? '' : "
                    "document.getElementById('controller-text').textContent;")
    if not offer:
        walk.fail("a room's link offers no controller")
    page.driver.save_screenshot("web-phone-question.png")
    button = page.js("const r = document.getElementById('controller').getBoundingClientRect();"
                     "return {x: r.x, y: r.y, w: r.width, h: r.height};")
    touch.tap(page, *touch.centre(button))
    page.wait_for("the controller's page", lambda: page.js(
        "return !document.getElementById('controller-page').hidden;"))


def phone_seat(page, seat):
    """Player `seat`'s pair, nearly the whole page, a thumb each side."""
    page.wait_for(f"player {seat}'s buttons", lambda: set(touch.buttons(page)) == {
        f"seat{seat}.left", f"seat{seat}.right"})
    shown = touch.buttons(page)
    left, right = shown[f"seat{seat}.left"], shown[f"seat{seat}.right"]
    for name, b in shown.items():
        if b["w"] < PHONE[0] * 0.4 or b["h"] < PHONE[1] * 0.8:
            walk.fail(f"the phone's {name} button is only {b['w']:.0f} x {b['h']:.0f} of {PHONE[0]} x {PHONE[1]}")
    if not left["x"] + left["w"] <= right["x"]:
        walk.fail("the phone's turn left button is not on the left")
    page.driver.save_screenshot("web-phone-seat.png")
    return shown


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    args = ["", "", sys.argv[1], "", "", sys.argv[2]]  # browser_game's order; only the screen checks matter
    work = tempfile.mkdtemp(prefix="quibbet-web-seats-")
    pages = {}
    try:
        for command in sys.stdin:
            word, _, rest = command.strip().partition(" ")
            if word in ("screen", "phone"):
                os.makedirs(os.path.join(work, word))
                page = pages[word] = walk.Page(args, os.path.join(work, word), url=rest)
                if word == "screen":
                    page.answer_no()
                else:
                    phone_page(page, rest)
                answer("ok")
            elif word == "see":
                stage, _, checks = rest.partition(" ")
                pages["screen"].see(stage, checks)
                answer("ok")
            elif word == "key":
                pages["screen"].keys(rest)
                answer("ok")
            elif word == "seat":
                phone_seat(pages["phone"], int(rest))
                answer("ok " + pages["phone"].js(LINE))
            elif word == "both":
                shown = touch.buttons(pages["phone"])
                touch.fingers(pages["phone"], [touch.centre(b) for b in shown.values()])
                touch.fingers(pages["phone"], [])
                answer("ok")
            elif word == "tap":
                (b,) = [b for name, b in touch.buttons(pages["phone"]).items() if name.endswith(rest)]
                touch.tap(pages["phone"], *touch.centre(b))
                answer("ok")
            elif word == "shot":
                pages["phone"].driver.save_screenshot(f"{rest}.png")
                answer("ok")
            else:
                walk.fail(f"no such command: {word}")
    finally:
        for page in pages.values():
            page.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
