#!/usr/bin/env bash
# Bridger.exe reaches the base only through SetupAPI and HID.DLL: it imports the calls of its
# device walk and of its reports, and no named pipe.
#   hid-imports.sh OBJDUMP BRIDGER_EXE
set -euo pipefail
objdump=$1 shipped=$2
status=0
imports=$("$objdump" -p "$shipped")
for dll in SETUPAPI.dll HID.DLL WINMM.dll; do
  grep -qi "DLL Name: $dll" <<<"$imports" || { echo "FAIL: $(basename "$shipped") does not import $dll"; status=1; }
done
for fn in HidD_SetFeature HidD_GetAttributes SetupDiGetClassDevsA SetupDiEnumDeviceInterfaces \
          SetupDiGetDeviceInterfaceDetailA waveOutGetDevCapsA; do
  grep -q "$fn" <<<"$imports" || { echo "FAIL: $(basename "$shipped") does not import $fn"; status=1; }
done
grep -q "CreateNamedPipe" <<<"$imports" && { echo "FAIL: $(basename "$shipped") imports CreateNamedPipe"; status=1; }
((status)) || echo "$(basename "$shipped") reaches the base only through SetupAPI and HID.DLL"
exit $status
