#!/bin/sh
# Runs run.sh with stand-ins for cmake and dpkg-query and checks what it asks
# for: only the program's targets, in build/ configured as test.sh configures
# it (no option a later ./test.sh would have to undo), and a clear word when
# there is no display.
#   check_run_script.sh SOURCE_DIR
src=${1:?usage: check_run_script.sh SOURCE_DIR}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin"
cat >"$scratch/bin/cmake" <<STUB
#!/bin/sh
echo "\$*" >>"$scratch/cmake.log"
STUB
printf '#!/bin/sh\nprintf "install ok installed"\n' >"$scratch/bin/dpkg-query"
chmod +x "$scratch/bin/cmake" "$scratch/bin/dpkg-query"
out=$(PATH="$scratch/bin:$PATH" DISPLAY= WAYLAND_DISPLAY= bash "$src/run.sh" 2>&1)
rc=$?
status=0
[ $rc -eq 1 ] || { echo "run.sh without a display ended with $rc"; status=1; }
echo "$out" | grep -q "no display" || { echo "run.sh said: $out"; status=1; }
configure=$(grep -- '-S ' "$scratch/cmake.log")
build=$(grep -- '--build' "$scratch/cmake.log")
echo "$configure" | grep -q -- "-B $src/build " || { echo "configured elsewhere: $configure"; status=1; }
echo "$configure" | grep -q -- "-DCMAKE_BUILD_TYPE=RelWithDebInfo" || { echo "configure lacks the build type: $configure"; status=1; }
# Options that would leave a later ./test.sh without its tests.
for off in QUORVEX_TESTS QUORVEX_BENCH QUORVEX_GUI; do
    echo "$configure" | grep -q -- "-D$off=" && { echo "run.sh sets $off: $configure"; status=1; }
done
for target in quorvex templates backgrounds manual; do
    echo "$build" | grep -qw -- "$target" || { echo "run.sh does not build $target: $build"; status=1; }
done
echo "$build" | grep -q -- "--target" || { echo "run.sh builds every target: $build"; status=1; }
echo "$build" | grep -qE -- "core_tests|Test|bench|quorvex-cli" && { echo "run.sh builds more than the program: $build"; status=1; }
exit $status
