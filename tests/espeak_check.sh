#!/bin/sh
# Checks that a speech engine's Japanese voice reads every character of the read-aloud texts.
# Usage: tests/espeak_check.sh FILE, FILE holding one speech string per line ("#" where a number is
# said). Exits non-zero naming every line with a character the voice does not read.
#
# The Japanese voice shows a character it does not know in one of two ways. It spells it in another
# language ("空" gives "(en)tS'aIni:z(ja)l'et@", "a" gives "(en)'eI(ja)"), so a "(" appears in the
# phonemes: this also catches a small kana with no kana before it. Or it drops it silently ("℃", "％",
# "「", "（", a ー after a space), so the phonemes stay the same with the character taken out. A kana
# letter is never dropped silently, so only the other characters are taken out in turn; a space, 、 or
# 。 is read as a pause and passes.

if ! command -v espeak-ng >/dev/null 2>&1; then
    echo "PERUMORA_SKIP: espeak-ng not installed"
    exit 0
fi
if [ $# -ne 1 ] || [ ! -r "$1" ]; then
    echo "usage: $0 FILE (one speech string per line)" >&2
    exit 2
fi

# Characters, not bytes, for grep -o.
LC_ALL=C.UTF-8
export LC_ALL
set -f
nl='
'
# One kana letter (U+3041-U+3096, U+30A1-U+30FA) in UTF-8, as bytes: a range of multibyte
# characters is not portable.
kana=$(printf '^\343(\201[\201-\277]|\202[\200-\226\241-\277]|\203[\200-\272])$')

phonemes() {
    # A kana on either side, so that a pause at either end still shows.
    espeak-ng -v ja -q -x -- "あ $1 あ" 2>&1
}

bad=0
n=0
while IFS= read -r line || [ -n "$line" ]; do
    n=$((n + 1))
    if [ -z "$line" ]; then
        echo "line $n: empty" >&2
        bad=1
        continue
    fi
    # The program says the number itself, in kana.
    text=$(printf '%s\n' "$line" | sed 's/#/にじゅうご/g')
    said=$(phonemes "$text")
    problem=
    case $said in
        *"("*) problem=" spelled as a foreign letter ($said)" ;;
    esac
    chars=$(printf '%s\n' "$text" | grep -o .)
    others=$(printf '%s\n' "$chars" | LC_ALL=C grep -v -E -e "$kana" -e '^ $' | sort -u)
    IFS=$nl
    for c in $others; do
        without=
        for d in $chars; do
            [ "$d" = "$c" ] || without=$without$d
        done
        if [ "$(phonemes "$without")" = "$said" ]; then
            problem="$problem '$c' not read;"
        fi
    done
    unset IFS
    if [ -n "$problem" ]; then
        echo "line $n: $line:$problem" >&2
        bad=1
    fi
done < "$1"

if [ "$bad" -ne 0 ]; then
    exit 1
fi
echo "espeak-ng reads all $n lines"
