#!/usr/bin/env bash
# Bridger.exe has no way to a virtual base: no variable naming its pipe, none of its classes, and it
# imports SetupAPI and HID.DLL; the test build has both, which shows the check can fail.
#   no-virtual-base.sh OBJDUMP BRIDGER_EXE BRIDGER_VBASE_EXE
set -euo pipefail
objdump=$1 shipped=$2 testbuild=$3
marks=('BRIDGER_VBASE_PIPE' 'N5vbase10VirtualHidE' 'vbase14VirtualWaveOut')
status=0
for mark in "${marks[@]}"; do
  if grep -qaF -- "$mark" "$shipped"; then
    echo "FAIL: $(basename "$shipped") contains '$mark'"
    status=1
  fi
  grep -qaF -- "$mark" "$testbuild" || { echo "FAIL: the test build lacks '$mark': this check proves nothing"; status=1; }
done
imports=$("$objdump" -p "$shipped")
for dll in SETUPAPI.dll HID.DLL; do
  grep -qi "DLL Name: $dll" <<<"$imports" || { echo "FAIL: $(basename "$shipped") does not import $dll"; status=1; }
done
for fn in HidD_SetFeature SetupDiGetClassDevsA SetupDiGetDeviceInterfaceDetailA; do
  grep -q "$fn" <<<"$imports" || { echo "FAIL: $(basename "$shipped") does not import $fn"; status=1; }
done
grep -q "CreateNamedPipe" <<<"$imports" && { echo "FAIL: $(basename "$shipped") imports CreateNamedPipe"; status=1; }
((status)) || echo "$(basename "$shipped") reaches the base only through SetupAPI and HID.DLL"
exit $status
