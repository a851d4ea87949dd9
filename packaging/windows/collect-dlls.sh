#!/usr/bin/env bash
# collect-dlls.sh DIR[:DIR...] FILE...: prints, one a line, the path of every DLL that the FILEs (programs
# or DLLs) need from the DIRs, following the imports of each DLL found in turn. There is no windeployqt on
# Linux; the import tables are the whole truth about what a program loads at start. An import found in
# none of the DIRs must be one of Windows' own (KERNEL32.dll, WS2_32.dll...): those are listed on
# standard error, so a missing DLL of ours shows up there rather than on the technician's computer.
set -euo pipefail

IFS=: read -r -a dirs <<<"$1"
shift
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}

declare -A seen=()
declare -A system=()
queue=("$@")
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r name; do
        key=${name,,} # Windows' names are case-blind
        if [ -n "${seen[$key]:-}" ] || [ -n "${system[$key]:-}" ]; then
            continue
        fi
        found=""
        for dir in "${dirs[@]}"; do
            match=$(find "$dir" -maxdepth 1 -iname "$name" -print -quit 2>/dev/null)
            if [ -n "$match" ]; then
                found=$match
                break
            fi
        done
        if [ -n "$found" ]; then
            seen[$key]=$found
            echo "$found"
            queue+=("$found")
        else
            system[$key]=1
        fi
    done < <("$objdump" -p "$file" | awk '/DLL Name:/ { print $3 }')
done
[ ${#system[@]} -eq 0 ] || echo "collect-dlls.sh: left to Windows: $(printf '%s\n' "${!system[@]}" | sort | tr '\n' ' ')" >&2
