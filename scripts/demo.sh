#!/usr/bin/env bash
# Shows tunewagon-cli at work on a small music library that this script makes itself: a few
# short generated WAV tones in artist and album folders and a playlist with descriptions. It
# prints the track list that the options give, copies the playlist's tracks and shows the log,
# the copied files and the new playlist. Nothing is downloaded.
#
# Usage: scripts/demo.sh PATH-TO-tunewagon-cli [WORK-FOLDER]
# Without a work folder a fresh temporary one is made and removed at the end; give a folder to
# keep the result for a look.
set -euo pipefail
cli=${1:?usage: demo.sh PATH-TO-tunewagon-cli [WORK-FOLDER]}
if [[ -n ${2:-} ]]; then
  work=$2
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/tunewagon-demo-XXXXXX")
  trap 'rm -rf "$work"' EXIT
fi
library=$work/library
dest=$work/копия

le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }

# write_tone FILE HALF: half a second of a square wave, 8000 samples a second, 8-bit mono, whose
# half period is HALF samples (a divisor of 2000, so the file holds whole periods).
write_tone() {
  local file=$1 half=$2 samples=4000 high low i
  mkdir -p "$(dirname "$file")"
  high=$(printf '\xa0%.0s' $(seq "$half"))
  low=$(printf '\x60%.0s' $(seq "$half"))
  {
    printf 'RIFF'; le32 $((36 + samples)); printf 'WAVEfmt '; le32 16
    le16 1; le16 1; le32 8000; le32 8000; le16 1; le16 8 # PCM, mono, rate, bytes/s, align, bits
    printf 'data'; le32 "$samples"
    for ((i = 0; i < samples / (2 * half); i++)); do printf '%s%s' "$high" "$low"; done
  } >"$file"
}

write_tone "$library/Ансамбль Север/Зима/01 Метель.wav" 8
write_tone "$library/Ансамбль Север/Зима/02 Иней.wav" 10
write_tone "$library/Ансамбль Север/Весна/01 Капель.wav" 5
write_tone "$library/Trio Lumen/Nocturnes/01 Midnight.wav" 16
write_tone "$library/Trio Lumen/Nocturnes/02 Dawn.wav" 20
printf '%s\r\n' '#EXTM3U' \
  '#EXTINF:1,Ансамбль Север - Метель' 'Ансамбль Север/Зима/01 Метель.wav' \
  '#EXTINF:1,Trio Lumen - Midnight' 'Trio Lumen/Nocturnes/01 Midnight.wav' \
  '#EXTINF:1,Ансамбль Север - Капель' 'Ансамбль Север/Весна/01 Капель.wav' \
  '#EXTINF:1,Trio Lumen - Dawn' 'Trio Lumen/Nocturnes/02 Dawn.wav' >"$library/Сборник.m3u"

options=(--levels 2 --number --playlist "$library/Сборник.m3u" "$dest")
echo "== The demo library in $library"
(cd "$library" && find . -type f | sort)
echo
echo "== tunewagon-cli --list ${options[*]}"
"$cli" --list "${options[@]}"
echo
echo "== tunewagon-cli ${options[*]}"
"$cli" "${options[@]}"
echo
echo "== The copies in $dest"
(cd "$dest" && find . -type f | sort)
echo
echo "== $dest/_playlist_.m3u"
tr -d '\r' <"$dest/_playlist_.m3u"
