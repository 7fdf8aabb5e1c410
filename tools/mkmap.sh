#!/bin/sh
# Writes the symbol map of a program: its functions by address, in the line
# format the crash dump reads (see shell/symmap.h).
#   mkmap.sh NM PROGRAM MAPFILE
# Names are demangled; blanks inside a name become '_' so that every symbol
# stays one word, and very long names are cut.
set -e
nm_tool=$1
program=$2
out=$3
module=$(basename "$program")
"$nm_tool" -C -n --defined-only "$program" > "$out.nm"
{
    printf ' %s\n\n' "$module"
    printf '  Address         Publics by Value              Rva+Base       Lib:Object\n\n'
    awk -v obj="$module" '
        $2 ~ /^[tTwW]$/ {
            addr = $1
            name = $0
            sub(/^[^ ]+ [^ ]+ /, "", name)
            gsub(/[ \t]/, "_", name)
            if (length(name) > 400) name = substr(name, 1, 400)
            printf " 0001:%s       %s %s f   %s\n", substr(addr, length(addr) - 7), name, addr, obj
        }' "$out.nm"
} > "$out.tmp"
rm -f "$out.nm"
mv "$out.tmp" "$out"
