#!/usr/bin/env python3
"""A layered skinned window on the virtual display, as the X server shows it: opaque where
its panel is, see-through (and click-through) where it draws nothing.

    layered_screenshot.py PROBE_EXE RES_IMAGES_DIR OUTPUT_DIR

Needs the display and Wine prefix that tools/test sets up, ImageMagick and xdotool.
"""
import os
import subprocess
import sys
import threading
import time

probe, images, out = sys.argv[1:4]
os.makedirs(out, exist_ok=True)
DEADLINE = time.time() + 60


def pixel(png, x, y):
    text = subprocess.run(["convert", png, "-format", f"%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]",
                           "-crop", f"1x1+{x}+{y}", "info:"], check=True, capture_output=True, text=True).stdout
    return tuple(int(v) for v in text.split())


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


lines = []
process = subprocess.Popen(["wine", probe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)


def read():
    for line in process.stdout:
        lines.append(line.strip())


reader = threading.Thread(target=read, daemon=True)
reader.start()


def wait_for(text):
    while time.time() < DEADLINE:
        if text in lines:
            return True
        time.sleep(0.05)
    return False


failures = []
try:
    if not wait_for("ready"):
        sys.exit("the probe did not come up")
    time.sleep(0.5)
    shot = os.path.join(out, "layered.png")
    subprocess.run(["import", "-window", "root", shot], check=True)

    # The panel (IMAGE 1117 at (80, 60) in the dialog at (100, 100)) shows on the screen.
    panel = pixel(os.path.join(images, "1117.png"), 23, 19)  # the warning sign
    below = pixel(os.path.join(images, "1101.png"), 80 + 23, 60 + 19)
    seen = pixel(shot, 100 + 80 + 23, 100 + 60 + 19)
    if not near(seen, panel, 24) or near(seen, below, 8):
        failures.append(f"panel: screen {seen}, panel image {panel}, window below {below}")
    # Where the dialog draws nothing, the window below shows through.
    for x, y in ((20, 20), (590, 340), (60, 300)):
        expected = pixel(os.path.join(images, "1101.png"), x, y)
        seen = pixel(shot, 100 + x, 100 + y)
        if not near(seen, expected, 8):
            failures.append(f"transparent at ({x}, {y}): screen {seen}, window below {expected}")

    # Presses on a transparent part reach the window below; on the button, the dialog.
    subprocess.run(["xdotool", "mousemove", "130", "440", "click", "1"], check=True)
    subprocess.run(["xdotool", "mousemove", str(100 + 425 + 44), str(100 + 205 + 16), "click", "1"], check=True)
    if not wait_for("click 1002"):
        failures.append(f"the button was not clicked: {lines}")
    if not any(line.startswith("below 30 340") for line in lines):
        failures.append(f"the press on the transparent part did not reach the window below: {lines}")
finally:
    try:
        process.stdin.close()
    except OSError:
        pass
    process.kill()
    process.wait(timeout=10)

if failures:
    print("\n".join(failures))
    sys.exit(1)
print(f"layered window on the display as expected: {os.path.join(out, 'layered.png')}")
