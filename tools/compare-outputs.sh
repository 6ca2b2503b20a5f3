#!/bin/sh
# Converts the sample and generated export sets with two builds of kw39pcaconv
# and compares everything they give: the document, the report, standard
# output and error, and the exit status, byte for byte. A change that must not
# alter any result is run through this against the program before it.
#
#   tools/compare-outputs.sh OLD_PROGRAM NEW_PROGRAM KW39GEN [WORK_DIR]
set -u
absolute() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
old=$(absolute "$1") new=$(absolute "$2") gen=$(absolute "$3")
work=$(absolute "${4:-$(mktemp -d)}")
mkdir -p "$work/sets"
root=$(cd "$(dirname "$0")/.." && pwd)

# The input sets: the sample, generated companies of several sizes and seeds
# (some with irregular lines), and a batch root of small companies.
cp -r "$root/samples/demo" "$work/sets/demo"
# Each set: employees, seed, irregular lines.
for numbers in "1 1 0" "5 2 0" "40 3 0" "200 4 0" "7 5 30" "60 6 200" "300 7 500"; do
    # shellcheck disable=SC2086 # split into its three numbers on purpose
    set -- $numbers
    "$gen" --employees "$1" --seed "$2" --irregular "$3" --out "$work/sets/gen-$1-$2-$3" >/dev/null
done
mkdir -p "$work/batch"
for i in 1 2 3 4 5; do
    "$gen" --employees 20 --seed "$((i + 10))" --irregular $((i * 3)) --out "$work/batch/c$i" >/dev/null
    # Each company of a batch has its own code.
    sed -i "s/^\"0001\",/\"000$((i + 1))\",/" "$work/batch/c$i"/*.CSV
done

failures=0
# Runs both programs with the same arguments (OUT stands for the output
# place) in fresh folders and compares what each left.
compare() {
    name=$1
    shift
    for side in old new; do
        dir="$work/run/$name/$side"
        rm -rf "$dir"
        mkdir -p "$dir/out"
        prog=$old
        [ "$side" = new ] && prog=$new
        args=
        for a in "$@"; do
            case $a in
                OUTDIR) a=$dir/out ;;
                OUT) a=$dir/out/doc.xml ;;
                REPORT) a=$dir/report.csv ;;
            esac
            args="$args '$a'"
        done
        (cd "$dir" && eval "'$prog' $args" </dev/null >stdout 2>stderr; echo $? >status)
        # The paths name the side: make them the same before comparing.
        for f in "$dir/stdout" "$dir/stderr" "$dir/report.csv"; do
            [ -f "$f" ] && sed -i "s#$dir#DIR#g" "$f"
        done
    done
    if diff -r "$work/run/$name/old" "$work/run/$name/new" >"$work/run/$name.diff"; then
        echo "same      $name"
    else
        echo "DIFFERENT $name (see $work/run/$name.diff)"
        failures=$((failures + 1))
    fi
}

for set in "$work"/sets/*; do
    s=$(basename "$set")
    compare "$s-year" --folder "$set" --year 8 --yes --output OUT --report REPORT
    compare "$s-noyear" --folder "$set" --yes --output OUT --report REPORT
    compare "$s-simple" --folder "$set" --year 7 --mode simple --yes --output OUT --report REPORT
    compare "$s-check" --folder "$set" --check --report REPORT
done
compare batch --batch "$work/batch" --output-dir OUTDIR --yes --report REPORT
compare batch-year --batch "$work/batch" --output-dir OUTDIR --year 7 --yes --report REPORT
compare batch-check --batch "$work/batch" --output-dir OUTDIR --check --report REPORT
# Refused inputs: a missing folder, a year out of range, a file that is no text.
compare no-folder --folder "$work/none" --yes --output OUT --report REPORT
compare bad-year --folder "$work/sets/demo" --year 99 --yes --output OUT --report REPORT
mkdir -p "$work/sets-bad/utf16"
cp "$work"/sets/demo/*.CSV "$work/sets-bad/utf16/"
printf '\377\376[\00010\000' >"$work/sets-bad/utf16/GETUJIQ.CSV"
compare utf16 --folder "$work/sets-bad/utf16" --yes --output OUT --report REPORT
mkdir -p "$work/sets-bad/badcompany"
cp "$work"/sets/demo/*.CSV "$work/sets-bad/badcompany/"
printf '[10000]\r\nonly\r\n' >"$work/sets-bad/badcompany/KAISHAQ.CSV"
compare badcompany --folder "$work/sets-bad/badcompany" --yes --output OUT --report REPORT
# The company file broken in ways that the proposed document name, the report
# and the checks each meet: UTF-16, UTF-8 with its mark, NUL bytes after the
# company line, data after the end-of-file byte; then without --output.
bad_company() {
    mkdir -p "$work/sets-bad/$1"
    cp "$work"/sets/demo/*.CSV "$work/sets-bad/$1/"
    # shellcheck disable=SC2059 # the bytes are given as a format of escapes
    printf "$2" >"$work/sets-bad/$1/KAISHAQ.CSV"
    compare "$1" --folder "$work/sets-bad/$1" --yes --output OUT --report REPORT
    compare "$1-noout" --folder "$work/sets-bad/$1" --yes --report REPORT
}
bad_company company-utf16 '\377\376[\0001\0000\0000\0000\0000\000]\000'
bad_company company-utf8 '\357\273\277[10000]\r\n0001,\346\227\245\r\n[10001]\r\n'
bad_company company-nul '[10000]\r\n0001,X\r\n[10001]\r\n\000\000\r\n'
bad_company company-eof '[10000]\r\n0001,X\r\n[10001]\r\n\032more\r\n'
bad_company company-late '[10001]\r\nx\r\n[10000]\r\n0001,X\r\n'
echo "$failures difference(s)"
[ "$failures" -eq 0 ]
