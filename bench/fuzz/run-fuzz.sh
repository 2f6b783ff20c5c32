#!/usr/bin/env bash
# Builds the device-link fuzzers with clang (libFuzzer, ASan, UBSan) into
# build/fuzz and runs each for a while. Not part of the CMake build or CI.
#   bash bench/fuzz/run-fuzz.sh [seconds per fuzzer, default 180] [fuzzer names...]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-180}"
shift || true
out=build/fuzz
mkdir -p "$out/gen" "$out/obj"

# The version header the platform layer includes, as CMake would write it.
sed -e 's/@PROJECT_VERSION_MAJOR@/2/' -e 's/@PROJECT_VERSION_MINOR@/5/' \
    -e 's/@PROJECT_VERSION_PATCH@/1/' -e 's/@PROJECT_VERSION_TWEAK@/685/' \
    platform/version_config.h.in > "$out/gen/version_config.h"

CXX="${CXX:-clang++}"
flags=(-std=c++20 -g -O1 -fsanitize=address,undefined -fno-omit-frame-pointer
       -I. -Iplatform/include -I"$out/gen" $(pkg-config --cflags jsoncpp glib-2.0))
libs=($(pkg-config --libs jsoncpp glib-2.0) -lpthread)

sources=(
  platform/linux/socket.cpp platform/linux/text.cpp platform/linux/process.cpp
  platform/linux/system.cpp platform/linux/profile.cpp platform/linux/sync.cpp
  common/command_sender.cpp common/debug_log.cpp common/device_json.cpp common/settings_store.cpp
  receiver/core/notification_center.cpp
  receiver/link/frame_assembler.cpp receiver/link/file_header_reader.cpp
  receiver/link/packet_processor.cpp receiver/link/client_list.cpp receiver/link/client_clock.cpp
  receiver/link/device_sender.cpp receiver/link/client_broadcast.cpp
  receiver/link/pairing_handler.cpp receiver/link/spotlight_handler.cpp
)
objects=()
for src in "${sources[@]}"; do
  obj="$out/obj/$(echo "$src" | tr / _).o"
  if [[ ! -f "$obj" || "$src" -nt "$obj" ]]; then
    "$CXX" "${flags[@]}" -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
  fi
  objects+=("$obj")
done

fuzzers=("$@")
((${#fuzzers[@]})) || fuzzers=(fuzz_frame_assembler fuzz_file_header fuzz_json_routing)
for name in "${fuzzers[@]}"; do
  "$CXX" "${flags[@]}" -fsanitize=fuzzer "bench/fuzz/$name.cpp" "${objects[@]}" "${libs[@]}" \
    -o "$out/$name"
  corpus="$out/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name: ${seconds}s"
  "$out/$name" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$out/$name-" "$corpus" 2>&1 | grep -E '^(stat::|==|SUMMARY|#[0-9]+ +DONE)' || true
done
