#!/usr/bin/env python3
"""Draws Lib/Brenthal.jpg, the picture of the splash window and the about box:
a survey vessel towing a magnetometer sensor over a stylised magnetic profile.
Needs ImageMagick's `convert`. Usage: make_brenthal_picture.py OUTPUT.jpg"""
import math
import subprocess
import sys

W, H = 552, 288
SEA = 150  # y of the sea surface


def profile_points():
    """A deviation profile with a dipole anomaly, drawn above the horizon."""
    pts = []
    for x in range(0, W + 1, 4):
        u = (x - 150) / 38.0
        dipole = 46 * u * math.exp(-u * u / 2)
        wobble = 4 * math.sin(x / 23.0) + 2 * math.sin(x / 7.0)
        pts.append((x, 82 - dipole - wobble))
    return pts


def draw_commands():
    cmds = []
    # Sky and sea gradients are made by convert; here: grid of the profile.
    cmds += ["fill none", "stroke rgba(255,255,255,0.22)", "stroke-width 1"]
    for y in range(22, SEA - 10, 20):
        cmds.append(f"line 0,{y} {W},{y}")
    for x in range(0, W, 46):
        cmds.append(f"line {x},14 {x},{SEA - 14}")
    pts = " L ".join(f"{x:.1f},{y:.1f}" for x, y in profile_points())
    cmds += ["fill none", "stroke rgb(255,210,90)", "stroke-width 3", "stroke-linejoin round", f"path 'M {pts}'"]
    # Waves.
    cmds += ["stroke rgba(255,255,255,0.33)", "stroke-width 1.5"]
    for row, y in enumerate(range(SEA + 18, H, 22)):
        for x in range(-40 + (row % 2) * 30, W, 60):
            cmds.append(f"bezier {x},{y} {x + 15},{y - 5} {x + 30},{y}")
    # Hull, deck house and mast of the vessel.
    cmds += ["stroke rgb(29,42,58)", "stroke-width 1.5", "fill rgb(244,246,248)",
             f"polygon 230,{SEA - 16} 356,{SEA - 16} 344,{SEA + 6} 244,{SEA + 6}",
             "fill rgb(200,52,44)", f"polygon 242,{SEA} 346,{SEA} 344,{SEA + 6} 244,{SEA + 6}",
             "fill rgb(233,237,241)", f"rectangle 264,{SEA - 38} 310,{SEA - 16}",
             "fill rgb(74,108,140)", f"rectangle 270,{SEA - 33} 280,{SEA - 25}",
             f"rectangle 286,{SEA - 33} 296,{SEA - 25}",
             "stroke-width 2", f"line 302,{SEA - 38} 302,{SEA - 62}", f"line 294,{SEA - 54} 310,{SEA - 54}",
             "fill rgb(29,42,58)", f"rectangle 320,{SEA - 28} 332,{SEA - 16}"]
    # Tow cable and the sensor ("towfish") below the surface.
    cmds += ["fill none", "stroke rgb(32,38,46)", "stroke-width 1.6",
             f"bezier 232,{SEA - 10} 200,{SEA + 50} 190,{SEA + 80} 176,{SEA + 88}"]
    cmds += ["stroke rgb(15,23,32)", "stroke-width 1", "fill rgb(255,176,32)",
             f"ellipse 150,{SEA + 92} 26,7 0,360",
             "fill rgb(15,23,32)", f"polygon 120,{SEA + 86} 112,{SEA + 83} 116,{SEA + 92}"]
    # Signal rings around the sensor.
    cmds += ["fill none", "stroke rgba(255,255,255,0.35)", "stroke-width 1"]
    for r in (16, 28, 40):
        cmds.append(f"arc {150 - r},{SEA + 92 - r} {150 + r},{SEA + 92 + r} 200,340")
    return cmds


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "Brenthal.jpg"
    cmd = ["convert", "-size", f"{W}x{SEA}", "gradient:#3d6d9e-#a9cbe4",
           "(", "-size", f"{W}x{H - SEA}", "gradient:#1f5f86-#0b2a45", ")", "-append"]
    # One drawing so that fill and stroke settings carry from one primitive to the next.
    cmd += ["-draw", "\n".join(draw_commands())]
    cmd += ["-quality", "88", "-sampling-factor", "4:2:0", "-strip", out]
    subprocess.run(cmd, check=True)


if __name__ == "__main__":
    main()
