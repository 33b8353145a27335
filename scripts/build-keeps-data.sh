#!/bin/bash
# Checks that building leaves the school's data in the program folder alone. In a build folder of
# its own (build-keep, beside build; made afresh, so the build folder of the tests is not
# disturbed) it builds the databases, puts a school into the program folder's kb.mdb and
# demo.mdb, writes a kbxt.ini, touches the schema and the sources of both database generators
# and builds again: the generators run, and the three files stay byte for byte as they were.
# Then a demo.mdb removed from the program folder comes back as the build makes it, and the
# clean step leaves the three files alone too.
#   bash scripts/build-keeps-data.sh      (JOBS: parallel compile jobs, default all cores)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/build-keep"
DIST="$BUILD/dist"
SHIPPED="$BUILD/shipped"
JOBS=${JOBS:-$(nproc)}
KEEP_SOURCES=(app/shell/schema/kb_schema.sql app/shell/schema/mkdb.cpp
              app/timetable/demo/mkdemo.cpp app/timetable/demo/SchoolGen.cpp)

fail() {
    echo "build-keeps-data: FAILED: $*" >&2
    exit 1
}
# Runs SQL on an encrypted database with the program's password; prints the rows.
sql() {
    printf "PRAGMA key='731946';\n%s\n" "$2" | sqlcipher -batch -noheader "$1"
}
build() {
    cmake --build "$BUILD" -j"$JOBS" --target dist_databases >"$BUILD/last-build.log" 2>&1 ||
        { tail -n 30 "$BUILD/last-build.log"; fail "the build failed"; }
}

rm -rf "$BUILD"
# No tests, no optimisation: only the two generators and what they link are compiled.
cmake -S . -B "$BUILD" -DTW_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
    >/dev/null
build
cmp -s "$DIST/kb.mdb" "$SHIPPED/kb.mdb" || fail "the first build put no empty kb.mdb in the program folder"
cmp -s "$DIST/demo.mdb" "$SHIPPED/demo.mdb" || fail "the first build put no demo.mdb in the program folder"

# The school: the demo school's content and one class more in kb.mdb, one class more in the demo,
# and settings naming kb.mdb.
cp "$SHIPPED/demo.mdb" "$DIST/kb.mdb"
sql "$DIST/kb.mdb" "insert into Classtb values('98','九（98）班','九年级（98）班','九（98）');"
sql "$DIST/demo.mdb" "insert into Classtb values('99','九（99）班','九年级（99）班','九（99）');"
printf '[DB]\r\nFILENAME=%s/kb.mdb\r\n[USERINFO]\r\nUSER=Keep\r\n' "$DIST" >"$DIST/kbxt.ini"
saved="$BUILD/saved"
mkdir "$saved"
cp -p "$DIST/kb.mdb" "$DIST/demo.mdb" "$DIST/kbxt.ini" "$saved/"
unchanged() {
    local f
    for f in kb.mdb demo.mdb kbxt.ini; do
        cmp -s "$saved/$f" "$DIST/$f" || fail "$1 changed the program folder's $f"
    done
}

# An update of the database layer: both generators and the schema are newer than what they made.
touch "$BUILD/before-update"
sleep 1
touch "${KEEP_SOURCES[@]}"
build
[ "$SHIPPED/kb.mdb" -nt "$BUILD/before-update" ] || fail "the build did not make kb.mdb again"
[ "$SHIPPED/demo.mdb" -nt "$BUILD/before-update" ] || fail "the build did not make demo.mdb again"
unchanged "a build after an update"
classes=$(sql "$DIST/kb.mdb" "select count(*) from Classtb;")
lessons=$(sql "$DIST/kb.mdb" "select count(*) from LessonListtb;")
demo_classes=$(sql "$DIST/demo.mdb" "select count(*) from Classtb;")
if [ "$classes" != 13 ] || [ "$lessons" -eq 0 ] || [ "$demo_classes" != 13 ]; then
    fail "the school is not as it was put in: $classes classes, $lessons lessons, $demo_classes demo classes"
fi

# A demo.mdb the user removed comes back as the build makes it; kb.mdb stays.
rm "$DIST/demo.mdb"
build
cmp -s "$DIST/demo.mdb" "$SHIPPED/demo.mdb" || fail "a build did not put demo.mdb back"
cp -p "$DIST/demo.mdb" "$saved/demo.mdb"
unchanged "a build that put demo.mdb back"

cmake --build "$BUILD" --target clean >/dev/null
unchanged "the clean step"
[ ! -e "$SHIPPED/kb.mdb" ] || fail "the clean step left the build tree's kb.mdb"
echo "build-keeps-data: the program folder's kb.mdb ($classes classes, $lessons lessons), demo.mdb" \
    "and kbxt.ini stayed as they were through an update, a build and the clean step"
