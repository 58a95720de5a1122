# The configure step of the build folders, for the scripts that build; sourced, with $root set to
# the checkout. A folder is configured once, when it has no build.ninja yet: later runs only build.

# configure <dir> [cmake arguments...]: CMake's output goes to <dir>.configure.log, shown on failure.
configure() {
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    mkdir -p "$(dirname "$dir")"
    cmake -S "$root" -B "$dir" -G Ninja -Wno-dev "$@" >"$dir.configure.log" 2>&1 ||
      { cat "$dir.configure.log"; return 1; }
  fi
}

# configure_windows <dir> x86_64|i686: a Windows build with MinGW's compiler for that processor and
# the codec libraries tools/deps built for it.
configure_windows() {
  local dir=$1 cpu=$2
  configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$cpu-w64-mingw32.cmake" \
    -DDEPS_PREFIX="$("$root/tools/deps" --print-cache)/$cpu-w64-mingw32"
}
