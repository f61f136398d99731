#!/usr/bin/env bash
# Keyvane.dll's export and import tables as binutils reads them from the file: exactly the record,
# the factory, the release and the plugin base class's members are exported, and only system
# libraries and pluginsdk.dll imported.
# Usage: windows_module_objdump.sh OBJDUMP MODULE
set -euo pipefail
objdump=$1
module=$2
tables=$("$objdump" -p "$module")

exported=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$tables" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
# Besides the host's three names, the plugin base class's members (plugin/exports.def), its virtual
# table, and the type information GCC exports with it.
base=_ZN9BakkesMod6Plugin15BakkesModPlugin
expected=$(printf '%s\n' deleteMe exports getPlugin "${base}C1Ev" "${base}C1ERKS1_" "${base}C1EOS1_" "${base}D1Ev" \
  "${base}aSERKS1_" "${base}aSEOS1_" "${base}6onLoadEv" "${base}8onUnloadEv" \
  _ZTVN9BakkesMod6Plugin15BakkesModPluginE _ZTIN9BakkesMod6Plugin15BakkesModPluginE | sort | tr '\n' ' ')
if [[ "$exported" != "$expected" ]]; then
  echo "exported names: '$exported', expected '$expected'"
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
