#!/usr/bin/env bash
# Bridger.exe exports CUSB with all its member functions.
#   exports.sh OBJDUMP BRIDGER_EXE
set -euo pipefail
objdump=$1 exe=$2
table=$("$objdump" -p "$exe")
grep -q "Export Address Table" <<<"$table" || { echo "FAIL: $exe has no export table"; exit 1; }
missing=0
# Itanium-ABI names: 4CUSB and the member's name with its length.
for member in C1Ev D1Ev 7FindUSBEv 11USB300TimerEv 7USBReadEv 8USBWriteEPhh 8ResEventEv \
              10GetVID_PIDER 15GetDeviceHandle 16FindUSBHIDDeviceEv 11CheckUSBDevEv 8DelQueueEv; do
  if grep -qE "_ZN4CUSB${member}" <<<"$table"; then
    echo "exported: CUSB ${member}"
  else
    echo "FAIL: CUSB member ${member} is not exported"
    missing=1
  fi
done
exit $missing
