#!/usr/bin/env bash
# Writes the fuzzers' seed inputs into fuzz/corpus/: a few tiny pictures of
# each format the loader opens (BMP and GIF written byte by byte, JPEG through
# cjpeg), quality texts and placement records. Run it again after changing it
# and commit the result; the fuzzers only read the files.
set -euo pipefail
cd "$(dirname "$0")"
out=corpus
rm -rf "$out"
mkdir -p "$out/fuzz_picture_loader" "$out/fuzz_quality_text" "$out/fuzz_capture_geometry"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Little-endian fields for the binary records.
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }

# A width x height 24-bit BMP; height < 0 is top-down. Rows are padded to 4 bytes.
bmp() {
    local width=$1 height=$2 abs=${2#-}
    local row=$(((width * 3 + 3) / 4 * 4))
    local data=$((row * abs))
    {
        printf 'BM'; le32 $((54 + data)); le32 0; le32 54
        le32 40; le32 "$width"; le32 $((height & 0xffffffff)); le16 1; le16 24; le32 0
        le32 "$data"; le32 2835; le32 2835; le32 0; le32 0
        head -c "$data" /dev/urandom
    }
}
bmp 2 2 >"$out/fuzz_picture_loader/bmp-2x2"
bmp 3 -2 >"$out/fuzz_picture_loader/bmp-3x2-top-down"
# Cut off in the middle of its rows: must be refused.
bmp 4 4 | head -c 70 >"$out/fuzz_picture_loader/bmp-cut"

# The smallest GIF: one pixel, a two-colour table, one LZW-coded image.
printf 'GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;' \
    >"$out/fuzz_picture_loader/gif-1x1"

# JPEGs from an 8 x 8 PPM: baseline, progressive, greyscale, and one with an
# Exif orientation (a quarter turn) put in right after the start marker.
{ printf 'P6\n8 8\n255\n'; head -c 192 /dev/urandom; } >"$tmp/p.ppm"
cjpeg -quality 75 "$tmp/p.ppm" >"$out/fuzz_picture_loader/jpeg-baseline"
cjpeg -quality 75 -progressive "$tmp/p.ppm" >"$out/fuzz_picture_loader/jpeg-progressive"
cjpeg -quality 75 -grayscale "$tmp/p.ppm" >"$out/fuzz_picture_loader/jpeg-grey"
{
    printf '\xff\xd8\xff\xe1\x00\x22Exif\x00\x00MM\x00\x2a\x00\x00\x00\x08\x00\x01'
    printf '\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00\x00\x00\x00\x00'
    tail -c +3 "$out/fuzz_picture_loader/jpeg-baseline"
} >"$out/fuzz_picture_loader/jpeg-exif-turned"
# Wide enough for the fuzzer's 24 x 36 corner to be decoded ahead from a second
# reader, upright and (stored on its side) turned a quarter; tall enough for
# the turned one's corner to lie below rows that are only skimmed.
{ printf 'P6\n208 64\n255\n'; head -c 39936 /dev/zero; } >"$tmp/wide.ppm"
cjpeg -quality 75 "$tmp/wide.ppm" >"$out/fuzz_picture_loader/jpeg-wide"
{
    printf '\xff\xd8\xff\xe1\x00\x22Exif\x00\x00MM\x00\x2a\x00\x00\x00\x08\x00\x01'
    printf '\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00\x00\x00\x00\x00'
    tail -c +3 "$out/fuzz_picture_loader/jpeg-wide"
} >"$out/fuzz_picture_loader/jpeg-wide-turned"
printf 'not a picture' >"$out/fuzz_picture_loader/text"

# Quality texts: the first byte 0 means UTF-8, 1 means UTF-16 (little-endian here).
n=0
for text in 1 5 9 10 0 11 00 05 -3 1.5 1,5 100 25.5 25,5 ' 7' 1e1 nan 1.000,5 '' ２; do
    printf '\x00%s' "$text" >"$out/fuzz_quality_text/utf8-$n"
    n=$((n + 1))
done
printf '\x011\x000\x00' >"$out/fuzz_quality_text/utf16-10"
printf '\x01\xe6\x9c\x80' >"$out/fuzz_quality_text/utf16-other"

# Placement records: photo left, top, width, height (float twips), a flag byte
# (bit 0 stretch, bits 1-2 the display scale), frame left, top (float twips),
# picture width and height (bytes) and a pixel seed.
geometry() {
    local name=$1 photo=$2 flags=$3 frame=$4 size=$5
    python3 -c "import struct,sys
p=[float(v) for v in '$photo'.split()]; f=[float(v) for v in '$frame'.split()]; s=[int(v) for v in '$size'.split()]
sys.stdout.buffer.write(struct.pack('<4fB2f2BI', *p, $flags, *f, *s, 12345))" \
        >"$out/fuzz_capture_geometry/$name"
}
geometry natural '0 0 4200 5400' 0 '1200 1350' '40 30'
geometry stretched '-300 -450 9000 12000' 1 '0 0' '30 40'
geometry zoomed-far '-1e9 -1e9 3e9 3e9' 1 '3600 5400' '20 20'
geometry nan 'nan 0 nan inf' 1 '1800 2700' '5 5'
geometry high-dpi '15 15 4200 5400' 6 '-15 -15' '47 47'
