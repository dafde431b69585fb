#!/usr/bin/env bash
# Fails when the exe imports a DLL that is not part of Windows itself.
set -euo pipefail
exe=$1
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
allowed='^(kernel32|user32|gdi32|gdiplus|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|uuid|advapi32|msimg32|dwmapi|uxtheme|msvcrt|ws2_32|version|imm32|winmm|api-ms-win-[a-z0-9-]+)\.dll$'
echo "imports:" $dlls
bad=$(printf '%s\n' $dlls | grep -vE "$allowed" || true)
if [ -n "$bad" ]; then echo "non-system DLLs: $bad"; exit 1; fi
