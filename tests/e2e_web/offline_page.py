#!/usr/bin/python3
"""The browser build installed and offline, in headless chromium: a copy of the build served on
the loopback, loaded once; the browser must find nothing against installing it
(Page.getInstallabilityErrors). With the server stopped, a reload must still reach the menu.
Then a new version goes up on the same address (its worker's version changed, a mark in each of
the page and the script): the next load, still at the question, must hand over to it and show
the new page with the new script, and only the new version's cache may be left.

Usage: offline_page.py WEB_DIR SERVE_WEB SCREEN_WATCH QUIBBET_XM RECORDING_CHECK GAME_SCREENS
Exit 0 on success, 77 when something it needs is missing, 1 on failure.
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

import browser_game as walk

MARK = "quibbet-next-version"

CONTROLLED = "return !!navigator.serviceWorker.controller;"
NEW_VERSION = f"""const done = arguments[arguments.length - 1];
if (!document.getElementById('{MARK}')) {{ done(false); return; }}
fetch('quibbet.js').then((r) => r.text()).then((script) => caches.keys().then((names) =>
  done({{script: script.endsWith('// {MARK}\\n'), caches: names}})), () => done(false));"""


def serve(serve_web, port, web_dir):
    server = subprocess.Popen([serve_web, str(port), web_dir], stdout=subprocess.PIPE, text=True)
    if not server.stdout.readline().strip():
        walk.fail("the static server did not start")
    return server


def new_version(web_dir):
    root = pathlib.Path(web_dir)
    worker = root / "service_worker.js"
    text, count = re.subn(r"const VERSION = '([^']*)';", r"const VERSION = '\1-next';", worker.read_text())
    if count != 1:
        walk.fail("the service worker names no version")
    worker.write_text(text)
    page = root / "quibbet.html"
    page.write_text(page.read_text().replace("</body>", f'<i id="{MARK}"></i>\n</body>'))
    with open(root / "quibbet.js", "a") as script:
        script.write(f"// {MARK}\n")


def offline_page(page):
    page.driver.get(page.url)
    page.wait_for("the service worker", lambda: page.js(CONTROLLED))
    errors = page.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
    if errors:
        walk.fail(f"not installable: {errors}")
    print("installable: the browser reports nothing against it")

    port = page.url.split(":")[2].split("/")[0]
    page.server.terminate()
    page.server.wait()
    page.answer_no()  # loads the page again, from what the worker kept
    page.see("offline-menu", '"${STAGE_MENU[@]}"')
    print("offline: a reload with the server stopped reaches the menu")

    new_version(page.web_dir)
    page.server = serve(page.serve_web, port, page.web_dir)
    page.driver.get(page.url)
    page.wait_for("the new version", lambda: page.driver.execute_async_script(NEW_VERSION) not in (False, None))
    seen = page.driver.execute_async_script(NEW_VERSION)
    if not seen["script"] or len(seen["caches"]) != 1 or not seen["caches"][0].endswith("-next"):
        walk.fail(f"a mix of versions: the new page with the new script {seen['script']}, caches {seen['caches']}")
    print(f"a new version: its page and script are served, its cache alone is kept ({seen['caches'][0]})")


def main():
    args = sys.argv[1:]
    if len(args) < 6:
        sys.exit(__doc__)
    walk.needs(args)
    work = tempfile.mkdtemp(prefix="quibbet-offline-")
    copy = pathlib.Path(work, "web")
    copy.mkdir()
    for name in [*pathlib.Path(args[0]).glob("quibbet*"), pathlib.Path(args[0], "service_worker.js")]:
        shutil.copy(name, copy)
    page = walk.Page([str(copy), *args[1:]], work)
    page.serve_web = args[1]
    try:
        offline_page(page)
    finally:
        page.close()
        shutil.rmtree(work, ignore_errors=True)
    print("PASS: the browser build installed and offline")


if __name__ == "__main__":
    main()
