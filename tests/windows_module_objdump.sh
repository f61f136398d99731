#!/usr/bin/env bash
# Keyvane.dll's export and import tables as binutils reads them from the file: exactly the record,
# the factory and the release are exported, and only system libraries and pluginsdk.dll imported.
# Usage: windows_module_objdump.sh OBJDUMP MODULE
set -euo pipefail
objdump=$1
module=$2
tables=$("$objdump" -p "$module")

exported=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$tables" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
if [[ "$exported" != "deleteMe exports getPlugin " ]]; then
  echo "exported names: '$exported', expected 'deleteMe exports getPlugin'"
  exit 1
fi

imported=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$tables" | tr 'A-Z' 'a-z' | sort)
# The run-times that a MinGW build could drag in must be linked in, never imported.
if grep -Eq '^(libstdc\+\+|libgcc|libwinpthread)' <<<"$imported"; then
  echo "imports a MinGW run-time: $(tr '\n' ' ' <<<"$imported")"
  exit 1
fi
grep -qx 'pluginsdk.dll' <<<"$imported" || { echo "does not import pluginsdk.dll"; exit 1; }
echo "exports: $exported"
echo "imports: $(tr '\n' ' ' <<<"$imported")"
