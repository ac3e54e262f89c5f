#!/usr/bin/env python3
"""Writes a damaged copy of the game's pak for the hostile-input runs of the real program.

hostile_pak.py SOURCE DEST frames   the award banner's sprite set claims 2,000,000,000 frames
hostile_pak.py SOURCE DEST crc      one byte of a font's glyph image flipped (its CRC-32 no longer matches)
hostile_pak.py SOURCE DEST truncate the first half of the pak only
hostile_pak.py SOURCE DEST garble MEMBER   the member's bytes become bytes no reader takes
hostile_pak.py SOURCE DEST cut MEMBER      the member keeps the first half of its bytes
hostile_pak.py SOURCE DEST remove MEMBER   the member is left out
"""
import sys
import zipfile

FONT_IMAGE = 'i_vga\\fonts\\sans_b13_rgba.png'


def copy_with(source, dest, replace):
    src = zipfile.ZipFile(source)
    with zipfile.ZipFile(dest, 'w') as out:
        for info in src.infolist():
            data = src.read(info)
            out.writestr(info, replace.get(info.filename, data))


def main():
    source, dest, mode = sys.argv[1:4]
    if mode == 'frames':
        src = zipfile.ZipFile(source)
        text = src.read('ui\\ui_sprites.txt').decode('latin-1')
        damaged = text.replace('"sprites\\ui\\ach_awarded", 11, 11', '"sprites\\ui\\ach_awarded", 2000000000, 11')
        if damaged == text:
            sys.exit('the award banner set was not found')
        copy_with(source, dest, {'ui\\ui_sprites.txt': damaged.encode('latin-1')})
    elif mode == 'crc':
        copy_with(source, dest, {})
        pak = bytearray(open(dest, 'rb').read())
        info = zipfile.ZipFile(dest).getinfo(FONT_IMAGE)
        if info.compress_type != zipfile.ZIP_STORED:
            sys.exit('the font image is not stored')
        name_length = int.from_bytes(pak[info.header_offset + 26:info.header_offset + 28], 'little')
        extra_length = int.from_bytes(pak[info.header_offset + 28:info.header_offset + 30], 'little')
        data = info.header_offset + 30 + name_length + extra_length
        pak[data + info.file_size // 2] ^= 0x5A
        open(dest, 'wb').write(bytes(pak))
    elif mode in ('garble', 'cut', 'remove'):
        member = sys.argv[4]
        src = zipfile.ZipFile(source)
        if member not in src.namelist():
            sys.exit('no member ' + member)
        data = src.read(member)
        with zipfile.ZipFile(dest, 'w') as out:
            for info in src.infolist():
                if info.filename != member:
                    out.writestr(info, src.read(info))
                elif mode == 'garble':
                    out.writestr(info, b'\x89PNG\r\n\x1a\n this is no picture ' * 4)
                elif mode == 'cut':
                    out.writestr(info, data[:len(data) // 2])
    elif mode == 'truncate':
        pak = open(source, 'rb').read()
        open(dest, 'wb').write(pak[:len(pak) // 2])
    else:
        sys.exit('unknown mode ' + mode)


if __name__ == '__main__':
    main()
