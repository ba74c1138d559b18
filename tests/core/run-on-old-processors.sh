#!/bin/bash
# The core's tests on an emulated processor model, which decides the scan kernel: each model
# must get the kernel named, and never an instruction it lacks (the emulator stops on those).
# Usage: run-on-old-processors.sh CORE_TESTS CPU_MODEL EXPECTED_KERNEL
# Exits 77 (skipped) where there is no qemu-x86_64, the machine is no x86-64 or the tests
# carry AddressSanitizer, whose shadow memory the emulator cannot map.
set -u
tests=$1 model=$2 kernel=$3
command -v qemu-x86_64 >/dev/null || { echo "no qemu-x86_64: skipped"; exit 77; }
[ "$(uname -m)" = x86_64 ] || { echo "not an x86-64 machine: skipped"; exit 77; }
! ldd "$tests" 2>/dev/null | grep -q libasan || { echo "built with AddressSanitizer: skipped"; exit 77; }
# The emulator warns of each feature of the model it leaves out; those are no failure.
CIARLA_EXPECTED_KERNEL=$kernel qemu-x86_64 -cpu "$model" "$tests" 2> >(grep -v "TCG doesn't support" >&2)
