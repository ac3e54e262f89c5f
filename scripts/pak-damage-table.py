#!/usr/bin/env python3
"""Damaged-content table: the real program beside a pak with one member removed, garbled or cut
in half, driven by an input script through the name entry, the play screen and the first arena
into a round. Prints a Markdown table (member, damage, status, what stderr said).

  scripts/pak-damage-table.py BUILD_DIR [MEMBER ...]

BUILD_DIR holds the program and app/native/assets/_game_bb.pak (build/release). Without members
a set covering every kind of content the game reads is used.
"""
import os
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
HOSTILE = os.path.join(HERE, '..', 'tests', 'game', 'program', 'hostile_pak.py')

MEMBERS = [
    'Data\\arenas.txt', 'Data\\bird_sounds.txt', 'Data\\addcoins.txt', 'Data\\miniquests.txt',
    'Data\\yards.txt', 'Data\\yard1_objects.txt', 'Data\\sfx.txt', 'Lang\\texts.csv',
    'ui\\ui_iphone\\ui_main.txt', 'ui\\ui_iphone\\game_styles.txt', 'ui\\ui_sprites.txt',
    'ui\\game_sprites.txt', 'ui\\farm_obj_sprites.txt',
    'i_vga\\ui\\gameplay\\arena1_bg.png', 'i_vga\\sprites\\gameplay\\ball_green.png',
]

# Name entry as "Ada", Play, the first arena through its hint, the tutorial's Play, a round.
SCRIPT = """180 touch down 103 643
182 touch up 103 643
188 touch down 243 643
190 touch up 243 643
196 touch down 103 643
198 touch up 103 643
210 touch down 384 936
212 touch up 384 936
250 touch down 384 910
252 touch up 384 910
345 touch down 139 403
347 touch up 139 403
500 touch down 636 50
502 touch up 636 50
"""


def told(output):
    lines = [l for l in output.splitlines() if l.strip()]
    picked = [l for l in lines if any(w in l.lower() for w in ('fail', 'cannot', 'could not', 'error', 'damaged'))]
    return ' / '.join((picked or lines)[:3])[:400]


def run(build, member, mode, root):
    assets = os.path.join(root, 'app', 'native', 'assets')
    os.makedirs(assets, exist_ok=True)
    pak = os.path.join(build, 'app', 'native', 'assets', '_game_bb.pak')
    made = subprocess.run([sys.executable, HOSTILE, pak, os.path.join(assets, '_game_bb.pak'), mode, member],
                          capture_output=True, text=True)
    if made.returncode != 0:
        return None, made.stderr.strip()
    program = os.path.join(root, 'cobblebrooks')
    if not os.path.exists(program):
        subprocess.run(['cp', os.path.join(build, 'cobblebrooks'), program], check=True)
    script = os.path.join(root, 'road.script')
    open(script, 'w').write(SCRIPT)
    env = {k: v for k, v in os.environ.items() if k != 'DISPLAY'}
    env.update(COBBLE_DISPLAY='headless', COBBLE_DISPLAY_SIZE='768x1280', COBBLE_CLOCK='virtual',
               COBBLE_SOUND='null', COBBLE_FRAMES='700', COBBLE_SCRIPT=script,
               COBBLE_SAVE_DIR=os.path.join(root, 'saves'))
    subprocess.run(['rm', '-rf', os.path.join(root, 'saves')])
    done = subprocess.run([program], env=env, capture_output=True, text=True, errors='replace', timeout=180)
    return done.returncode, told(done.stdout + done.stderr)


def main():
    build = sys.argv[1]
    members = sys.argv[2:] or MEMBERS
    names = set(zipfile.ZipFile(os.path.join(build, 'app', 'native', 'assets', '_game_bb.pak')).namelist())
    print('| member | damage | status | names the member | stderr |')
    print('|---|---|---|---|---|')
    with tempfile.TemporaryDirectory() as root:
        for member in members:
            if member not in names:
                print('| %s | - | - | - | not in the pak |' % member)
                continue
            short = member.split('\\')[-1].rsplit('.', 1)[0]
            for mode in ('remove', 'garble', 'cut'):
                status, text = run(build, member, mode, root)
                named = 'yes' if (short in text or member in text) else 'no'
                print('| `%s` | %s | %s | %s | %s |' % (member, mode, status, named, text.replace('|', '/')))
                sys.stdout.flush()


if __name__ == '__main__':
    main()
