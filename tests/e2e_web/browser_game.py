#!/usr/bin/python3
"""The browser build as a player meets it: the page served by scripts/serve-web on the loopback,
in headless chromium driven through chromedriver.

The whole game: the page's question answered with Escape (No, but no gesture that lets a page
start sound: a middle click in the intro, which the game ignores, must wake it), the intro, the
title after its fade, the menu; 3 players and the next level by clicks, a key starts; turns by keys and a right click within the countdown;
player 2 wins at the second step and the menu comes back with the score; Escape opens the
credits, and Escape there leaves the page with its thanks line, where a click starts anew. Each
stage is waited for in the canvas's pixels (the checks of tests/e2e_whole/game_screens.sh, looked
at by screen_watch) and kept as web-STAGE.png in the working directory. The page's final mix is
tapped from the answer on: it must hold the song from the title on and the game's effects, and
silence once the game has ended (recording_check). Then the page's audio devices: they count the
sound heard, not what is handed ahead, and 50 opened and closed leave no live node behind; and a
page without Web Audio ends with the effects device's failure on the page, not the thanks line.

Also prints the sizes of the build, the page's load-to-first-frame times and, with --idle-cpu
only, the processor time the browser takes at the idle menu, or with --catch-up only, how long
the picture stays still when the page comes back after an hour hidden (its clock moved on by an
hour; figures, not checks).

Usage: browser_game.py WEB_DIR SERVE_WEB SCREEN_WATCH QUIBBET_XM RECORDING_CHECK GAME_SCREENS [--idle-cpu|--catch-up]
Exit 0 on success, 77 when something it needs is missing, 1 on failure.
"""
import base64
import gzip
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
WAIT_SECONDS = 120  # generous: a busy 2-core machine renders WebGL in software
MUSIC_RATE = 48000
IDLE_SECONDS = 10
RESTARTS = 50
SHORT_FRAMES = 4800  # not a whole number of the sink's answers
HOUR_MS = 3_600_000


def skip(why):
    print(f"SKIP: {why}")
    sys.exit(SKIP)


def fail(why):
    print(f"FAIL: {why}")
    sys.exit(1)


try:
    from PIL import Image
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
    from selenium.webdriver.common.actions.mouse_button import MouseButton
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
except ImportError as e:
    skip(f"python3-selenium and python3-pil are needed ({e})")

# A recorder node on the page's final mix: 16-bit stereo frames, as the desktop walks record them.
# A worklet on the audio thread, which posts what it hears in blocks, so a busy page thread delays
# the recording but never loses or repeats a part of it.
TAP = """
const done = arguments[arguments.length - 1];
const source = `
class Tap extends AudioWorkletProcessor {
  constructor() { super(); this.block = new Int16Array(4096 * 2); this.at = 0; }
  process(inputs) {
    const input = inputs[0], l = input[0], r = input[1] || input[0];
    for (let i = 0; i < 128; ++i) {
      const s = (v) => Math.max(-32768, Math.min(32767, Math.round((v || 0) * 32768)));
      this.block[this.at++] = s(l && l[i]);
      this.block[this.at++] = s(r && r[i]);
      if (this.at === this.block.length) { this.port.postMessage(this.block); this.block = new Int16Array(4096 * 2); this.at = 0; }
    }
    return true;
  }
}
registerProcessor('quibbet-tap', Tap);`;
const audio = Module.quibbetAudio;
const rec = window.quibbetRecording = {chunks: [], frames: 0, rate: audio.context.sampleRate};
audio.context.audioWorklet.addModule(URL.createObjectURL(new Blob([source], {type: 'text/javascript'}))).then(() => {
  const node = new AudioWorkletNode(audio.context, 'quibbet-tap', {numberOfInputs: 1, numberOfOutputs: 0,
                                    channelCount: 2, channelCountMode: 'explicit'});
  node.port.onmessage = (e) => { rec.chunks.push(e.data); rec.frames += e.data.length / 2; };
  audio.master.connect(node);
  done(true);
}, (e) => done(String(e)));
"""

# The recording as base64, a slice of bytes at a time (one answer of the driver stays small).
RECORDING_SLICE = """
const rec = window.quibbetRecording;
if (!rec.bytes) {
  const all = new Int16Array(rec.frames * 2);
  let at = 0;
  for (const c of rec.chunks) { all.set(c, at); at += c.length; }
  rec.bytes = new Uint8Array(all.buffer);
}
const part = rec.bytes.subarray(arguments[0], arguments[0] + arguments[1]);
let text = '';
for (let i = 0; i < part.length; i += 0x8000) text += String.fromCharCode.apply(null, part.subarray(i, i + 0x8000));
return btoa(text);
"""


class Page:
    def __init__(self, args, work, url=None):
        """The page served from WEB_DIR by a static server of its own, or the page at `url`."""
        self.web_dir, serve_web, self.screen_watch, self.xm, self.check, self.screens = args[:6]
        self.work = work
        self.server = None if url else subprocess.Popen([serve_web, "0", self.web_dir], stdout=subprocess.PIPE,
                                                        text=True)
        self.url = url or self.server.stdout.readline().strip()
        if not self.url:
            fail("the static server did not start")
        options = webdriver.ChromeOptions()
        options.binary_location = shutil.which("chromium")
        for flag in ("--headless=new", "--enable-unsafe-swiftshader", "--use-angle=swiftshader", "--no-sandbox",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--no-first-run", f"--user-data-dir={work}/profile", "--window-size=1280,800"):
            options.add_argument(flag)
        self.service = Service(shutil.which("chromedriver"))
        self.driver = webdriver.Chrome(service=self.service, options=options)
        self.driver.set_script_timeout(WAIT_SECONDS)

    def close(self):
        self.driver.quit()
        if self.server:
            self.server.terminate()
            self.server.wait()

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def bash_words(self, words):
        """Checks as game_screens.sh spells them, expanded by bash."""
        out = subprocess.run(["bash", "-c", f'. "$0"; printf "%s\\n" {words}', self.screens],
                             capture_output=True, text=True, check=True, cwd=self.work)
        return out.stdout.split()

    def canvas_shot(self, path):
        png = self.driver.find_element(By.ID, "canvas").screenshot_as_png
        shot = pathlib.Path(self.work) / "shot.png"
        shot.write_bytes(png)
        Image.open(shot).convert("RGB").save(path)

    def see(self, stage, words, seconds=WAIT_SECONDS):
        """Waits until the canvas passes every check; keeps the frame as web-STAGE.png. Returns
        the bytes recorded from the page's mix when that frame was taken (0 without a recorder)."""
        checks = self.bash_words(words)
        ppm = os.path.join(self.work, f"{stage}.ppm")
        deadline = time.monotonic() + seconds
        while True:
            recorded = self.js("return window.quibbetRecording ? window.quibbetRecording.frames * 4 : 0;")
            self.canvas_shot(ppm)
            looked = subprocess.run([self.screen_watch, "--picture", ppm, *checks], capture_output=True, text=True)
            if looked.returncode == 0:
                Image.open(ppm).save(f"web-{stage}.png")
                print(f"seen: {stage}")
                return recorded
            if looked.returncode != 1:
                fail(f"screen_watch: {looked.stderr.strip()}")
            if time.monotonic() > deadline:
                Image.open(ppm).save(f"web-{stage}-failed.png")
                fail(f"{stage} not seen: {'; '.join(looked.stdout.split(chr(10)))}")
            time.sleep(0.05)

    def wait_for(self, what, condition, seconds=WAIT_SECONDS):
        deadline = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > deadline:
                fail(f"waited in vain for {what}")
            time.sleep(0.1)

    def page_point(self, vx, vy):
        """The page point of virtual (vx, vy), as the game letterboxes its screen into the canvas."""
        w, h = self.js("const r = document.getElementById('canvas').getBoundingClientRect(); return [r.width, r.height];")
        sx, sy = w / 640, h / 480
        s = min(sx, sy)
        left = int((w - 640 * s) / 2) if sx > sy else 0
        top = int((h - 480 * s) / 2) if sy > sx else 0
        return int(left + (vx + 0.5) * s), int(top + (vy + 0.5) * s)

    def vclick(self, vx, vy, right=False):
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(*self.page_point(vx, vy))
        if right:
            actions.pointer_action.context_click()
        else:
            actions.pointer_action.click()
        actions.perform()

    def keys(self, *keys):
        ActionChains(self.driver).send_keys(*keys).perform()

    def answer_no(self, by_escape=False):
        self.driver.get(self.url)
        self.wait_for("the question", lambda: self.js("return !document.getElementById('prompt').hidden"))
        self.driver.save_screenshot("web-question.png")
        if by_escape:
            self.keys(Keys.ESCAPE)
        else:
            self.driver.find_element(By.ID, "no").click()

    def middle_click(self):
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(*self.page_point(320, 240))
        actions.pointer_action.pointer_down(MouseButton.MIDDLE)
        actions.pointer_action.pointer_up(MouseButton.MIDDLE)
        actions.perform()

    def live_audio_nodes(self):
        self.driver.execute_cdp_cmd("HeapProfiler.collectGarbage", {})
        metrics = self.driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
        return next(m["value"] for m in metrics if m["name"] == "AudioHandlers")

    def recorded_frames(self):
        return self.js("return window.quibbetRecording.frames;")

    def recording(self, path):
        total = self.recorded_frames() * 4
        with open(path, "wb") as out:
            for at in range(0, total, 1 << 22):
                out.write(base64.b64decode(self.js(RECORDING_SLICE, at, min(1 << 22, total - at))))


def sizes(web_dir):
    for name in ("quibbet.wasm", "quibbet.js", "quibbet.html"):
        data = pathlib.Path(web_dir, name).read_bytes()
        print(f"size: {name} {len(data)} bytes, {len(gzip.compress(data, 9))} gzipped")


def descendants(pid):
    children = {}
    for entry in pathlib.Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                parent = int((entry / "stat").read_text().rsplit(")", 1)[1].split()[1])
            except OSError:
                continue
            children.setdefault(parent, []).append(int(entry.name))
    found, todo = [], [pid]
    while todo:
        p = todo.pop()
        found.append(p)
        todo.extend(children.get(p, []))
    return found


def cpu_ticks(pids):
    """Processor ticks used so far, by kind of process (browser, renderer, gpu-process, ...)."""
    ticks = {}
    for pid in pids:
        try:
            fields = pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
            words = pathlib.Path(f"/proc/{pid}/cmdline").read_bytes().replace(b"\0", b" ").split()
        except OSError:
            continue
        kind = next((w[7:].decode() for w in words if w.startswith(b"--type=")), "browser")
        ticks[kind] = ticks.get(kind, 0) + int(fields[11]) + int(fields[12])
    return ticks


def idle_cpu(page):
    """The processor time of the whole browser (every process under the driver) at the menu."""
    page.answer_no()
    page.see("idle-menu", '"${STAGE_MENU[@]}"')
    pids = descendants(page.service.process.pid)
    before, started = cpu_ticks(pids), time.monotonic()
    time.sleep(IDLE_SECONDS)
    after, seconds = cpu_ticks(pids), time.monotonic() - started
    share = {kind: 100 * (after[kind] - before.get(kind, 0)) / os.sysconf("SC_CLK_TCK") / seconds for kind in after}
    parts = ", ".join(f"{kind} {value:.1f}%" for kind, value in sorted(share.items()))
    print(f"idle menu in the browser: {sum(share.values()):.1f}% of one core over {IDLE_SECONDS} s ({parts})")


# Draws are timed on the real clock, which the catch-up figure leaves alone.
DRAW_TIMES = """
const now = performance.now.bind(performance), gl = Module.quibbetGl.gl, draw = gl.drawArrays.bind(gl);
window.quibbetRealNow = now;
gl.drawArrays = (...args) => { window.quibbetLastDraw = now(); draw(...args); };
"""


def catch_up(page):
    """How long the picture stays still after the page's clock jumps an hour ahead, as it does for
    a page that comes back after an hour hidden."""
    page.answer_no()
    page.see("catch-up-menu", '"${STAGE_MENU[@]}"')
    page.js(DRAW_TIMES)
    page.js(f"const real = performance.now.bind(performance); performance.now = () => real() + {HOUR_MS};"
            "window.quibbetJumped = window.quibbetRealNow();")
    page.wait_for("a picture after the hour", lambda: page.js(
        "return window.quibbetLastDraw > window.quibbetJumped + 50;"), seconds=WAIT_SECONDS)
    still = page.js("return window.quibbetLastDraw - window.quibbetJumped;")
    print(f"back after an hour hidden: the picture stood still {still:.0f} ms while the game caught up")


def audio_devices(page):
    """A device counts the bytes heard, not those handed ahead (or the end of a song is cut off),
    to the last one of a buffer played once; and every music restart closes a device, whose node
    must end with it."""
    page.answer_no()
    page.wait_for("the page's sound", lambda: page.js("return !!Module.quibbetAudio;"))
    at_once = page.js(f"""const audio = Module.quibbetAudio, id = audio.open({MUSIC_RATE});
        audio.play(id, 0, {SHORT_FRAMES * 4}, false); window.quibbetShort = id; return audio.played(id);""")
    if at_once != 0:
        fail(f"a device counts {at_once} bytes played before any was heard")
    page.wait_for("the end of a short sound", lambda: page.js(
        f"return Module.quibbetAudio.played(window.quibbetShort) === {SHORT_FRAMES * 4};"))
    page.js("Module.quibbetAudio.close(window.quibbetShort);")
    print("a device counts what is heard, to the end")
    page.driver.execute_cdp_cmd("Performance.enable", {})
    before = page.live_audio_nodes()
    page.js(f"""const audio = Module.quibbetAudio;
        for (let i = 0; i < {RESTARTS}; ++i) {{
          const id = audio.open({MUSIC_RATE}); audio.play(id, 0, 4096, true); audio.close(id);
        }}""")
    # The game's own two devices may open meanwhile.
    page.wait_for("the closed devices' nodes to end", lambda: page.live_audio_nodes() <= before + 2)
    print(f"live audio nodes: {before} before {RESTARTS} restarts, {page.live_audio_nodes()} after")


def failure_status(page):
    """Without Web Audio the first effect cannot open its device: the page shows why."""
    script = page.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
        "source": "delete window.AudioContext; delete window.webkitAudioContext;"})
    page.answer_no()
    noticed = "const n = document.getElementById('notice'); return n.hidden ? '' : n.textContent;"
    deadline = time.monotonic() + WAIT_SECONDS
    while not page.js(noticed):  # any key skips the intro and the title, and starts a game
        if time.monotonic() > deadline:
            fail("no notice without Web Audio")
        page.keys("s")
        time.sleep(0.5)
    page.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", script)
    text = page.js(noticed)
    page.driver.save_screenshot("web-no-audio.png")
    if "unable to open WAVE_MAPPER device" not in text or "Thanks" in text:
        fail(f"without Web Audio the page says: {text!r}")
    print("without Web Audio the page shows the failure")


def whole_game(page):
    page.answer_no(by_escape=True)
    tapped = page.driver.execute_async_script(TAP)
    if tapped is not True:
        fail(f"no recorder on the page's mix: {tapped}")
    rate = page.js("return window.quibbetRecording.rate;")
    if rate != MUSIC_RATE:
        fail(f"the page's audio runs at {rate} Hz, not the music's {MUSIC_RATE}")
    page.see("intro", '"${STAGE_INTRO[@]}"')
    state = page.js("return Module.quibbetAudio.context.state;")
    page.middle_click()  # a gesture the game ignores
    print(f"after Escape the page's sound was {state}; then a middle click")
    title_at = page.see("title", '"${STAGE_TITLE[@]}"')  # the intro ends by itself after 6 s
    times = page.js("return Module.quibbetTimes;")
    print(f"load: ready to answer {times['ready']:.0f} ms after the page was opened; first frame "
          f"{times['firstFrame'] - times['answered']:.0f} ms after the answer")
    page.see("menu", '"${STAGE_MENU[@]}"')  # and the title after 5 s
    page.vclick(303, 208)  # 3 players
    page.vclick(311, 266)  # the next level: 1, with holes beside the starts
    page.see("menu-level-1", '"${STAGE_MENU[@]}" "$(cell grass 1 0 \'>=0.3\')" \'glass@600,250,40,50>=0.15\'')
    page.keys("s")
    # Within the countdown (1.6 s, too short for screenshots on a busy machine, so the page's own
    # word that three people are in play says when): player 1 west, player 2 east, player 3 east.
    # Players 1 and 3 walk into holes at the second step; player 2 stays on solid ground and wins.
    page.wait_for("the countdown", lambda: page.js("return document.getElementById('touch').dataset.seats === '7';"))
    page.keys("q", Keys.ARROW_LEFT)
    page.vclick(300, 420, right=True)
    page.see("started", "'cream@255,170,90,140<=0.02'")  # the menu has gone
    page.see("menu-player-2-won", '"${STAGE_MENU[@]}" "$(score_zero 0)" "$(score_one 1)" "$(score_zero 2)"')
    page.keys(Keys.ESCAPE)
    page.see("credits", '"${STAGE_CREDITS[@]}"')

    page.keys(Keys.ESCAPE)
    page.wait_for("the thanks line", lambda: page.js(
        "const n = document.getElementById('notice'); return !n.hidden && n.textContent.includes('Thanks for playing');"))
    page.driver.save_screenshot("web-ended.png")
    print("Escape in the credits: the page thanks the player")
    settings = page.js("return localStorage.getItem('quibbet/config/quibbet.cfg');") or ""
    if "\nplayers 3\n" not in settings or "\nlevel 2\n" not in settings:
        fail(f"the page's storage does not keep the menu's choices: {settings!r}")
    print("the menu's choices are in the page's storage")
    ended_at = page.recorded_frames()
    page.wait_for("sound after the end", lambda: page.recorded_frames() >= ended_at + MUSIC_RATE // 2)
    recording = os.path.join(page.work, "recording.raw")
    page.recording(recording)
    shutil.copy(recording, "web-recording.raw")

    # A click on the thanks line starts anew: the page asks its question again.
    ActionChains(page.driver).move_to_element(page.driver.find_element(By.ID, "notice")).click().perform()
    page.wait_for("the question after the click", lambda: page.js(
        "const p = document.getElementById('prompt'); return p && !p.hidden && !window.quibbetRecording;"))
    print("a click after the end starts anew")

    song = os.path.join(page.work, "song.wav")
    song_xm = pathlib.Path(page.screens).resolve().parents[2] / "assets/song.xm"
    subprocess.run([page.xm, "render", str(song_xm), song], check=True, capture_output=True)
    checked = subprocess.run([page.check, song, recording, str(title_at), "tic", "death", "winner", "winner",
                              "winner"], capture_output=True, text=True)
    print(checked.stdout, end="")
    if checked.returncode != 0:
        fail(f"the page's sound (kept as web-recording.raw): {checked.stderr.strip()}")


def needs(args):
    """Skips unless the browser build, the tools and the browser are all there."""
    if not os.path.exists(os.path.join(args[0], "quibbet.wasm")):
        skip(f"no browser build in {args[0]} (build the web preset first)")
    for tool in args[1:5]:
        if not os.access(tool, os.X_OK):
            skip(f"no tool at {tool}")
    if not shutil.which("chromium") or not shutil.which("chromedriver"):
        skip("chromium and chromium-driver are needed")


def main():
    args = sys.argv[1:]
    if len(args) < 6:
        sys.exit(__doc__)
    needs(args)
    sizes(args[0])
    work = tempfile.mkdtemp(prefix="quibbet-web-")
    page = Page(args, work)
    try:
        if "--idle-cpu" in args:
            idle_cpu(page)
        elif "--catch-up" in args:
            catch_up(page)
        else:
            whole_game(page)
            audio_devices(page)
            failure_status(page)
    finally:
        page.close()
        shutil.rmtree(work, ignore_errors=True)
    print("PASS: the browser build")


if __name__ == "__main__":
    main()
