#!/usr/bin/env python3
"""Measures fast-forward on the real clock: how many characters of story text a second the
player types while skipping, switched on through the game menu.

It builds a story of long pages with a key wait at the end of every line, plays it with a
timed replay (--realtime, headless) that opens the game menu at the first key wait and
presses 早送り, and reads the transcript: the characters of the text lines written after
the "skip" line, over the time from it to the last of them (the choices that stop the
skipping come right after).

Usage: bench/skip_speed.py BUILD_DIR [LINE_LENGTH]   (LINE_LENGTH characters a line, 30 by default)
"""

import os
import subprocess
import sys
import tempfile

SENTENCE = "ほしぞら町のはずれの丘で、やわらかな風が草のにおいをはこんできます。"

HEADER = """header:
  title: "早送りの計測"
  start_item: "start"
  frame_interval: 30
  bg_effect: NONE
  char_effect: NONE
  bookmark_mode: 0
  font_height: 24
  text_color: "#FFFFFF"
  edge_color: "#000000"
  choice_box_color: "#4080FF"
  start_windowed: true
  display_mode_choice: false
  skip_mode: 2
"""

# Windowed, the menu's fast-forward row (its first) lies at x 436..637, y 40..71.
EVENTS = """4000 click 320 240
5500 click 320 240 right
5700 click 540 56
18000 quit
"""


def story(line_length, lines):
    text = (SENTENCE * (line_length // len(SENTENCE) + 1))[:line_length]
    body = "\n".join("      " + text + "@" for _ in range(lines))
    return (HEADER + "\nitems:\n  - name: start\n    kind: menu\n    text: |\n      はじめ@\n" + body +
            "\n      おわり\n    links:\n      - {caption: \"もういちど\", target: start}\n")


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    line_length = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    with tempfile.TemporaryDirectory() as folder:
        source, novel = os.path.join(folder, "skip.yaml"), os.path.join(folder, "skip.kne")
        events, transcript = os.path.join(folder, "skip.events"), os.path.join(folder, "transcript.txt")
        with open(source, "w", encoding="utf-8") as out:
            out.write(story(line_length, 8000 // line_length))
        with open(events, "w", encoding="utf-8") as out:
            out.write(EVENTS)
        subprocess.run([os.path.join(build, "bin", "knovel"), "build", source, "-o", novel], check=True,
                       stdout=subprocess.DEVNULL)
        environment = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
        subprocess.run([os.path.join(build, "bin", "kelvanovelrun"), "--replay", events, "--realtime",
                        "--transcript", transcript, novel], check=True, env=environment)
        with open(transcript, encoding="utf-8") as lines:
            records = [line.rstrip("\n").split(" ", 2) for line in lines]
    start = next((int(r[0]) for r in records if r[1] == "skip"), None)
    if start is None:
        sys.exit("skip_speed: fast-forward never started")
    characters, end = 0, start
    for time, word, *text in records:
        if int(time) < start or word == "choice":
            if word == "choice":
                break
            continue
        if word == "text":
            characters += len(text[0]) if text else 0
            end = int(time)
    seconds = (end - start) / 1000
    print(f"{characters} characters in {seconds:.3f} s: {characters / seconds:.0f} characters a second "
          f"({line_length} a line, a key wait after each)")


if __name__ == "__main__":
    main()
