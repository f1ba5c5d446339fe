#!/usr/bin/env bash
# Mutation testing of the portable core: plants one plausible fault at a time in actions/,
# base/, catalogue/, hook/, keys/, player/, text/, tray/, volume/, forms/ and
# app/program.cpp, rebuilds the native unit tests (only what changed) and runs them; a mutant
# is killed when a test fails, crashes or hangs. A survivor in hook/ is also tried against the
# ThreadSanitizer build of
# the threaded tests (build/tsan). The faults:
#   cmp    a comparison flipped: < <=, > >=, == != (each to the other)
#   bound  a number compared with, or a named constant, shifted by one either way
#   not    the condition of an if or a while negated
#   del    a call or an assignment on a line of its own taken out (replaced by {})
#   bool   true and false swapped
# The sites are found in the text (the sources are clang-formatted: binary operators stand
# between blanks); comments, strings and preprocessor lines are left alone. The selection is
# deterministic: every site, or --sample N of them chosen by a hash of the site and --seed.
# A mutant that does not compile (a warning is an error) is counted apart.
#
#   scripts/mutants.sh [--sample N] [--seed S] [--out FILE] [--build DIR] [--list] [--why]
#                      [--resume] [--killed-in FILE] [PATH...]
#   scripts/mutants.sh --compare BEFORE AFTER   mutants killed in BEFORE that AFTER lets live
#
# Output: one line per mutant, FILE:LINE:MUTATION:killed|survived|nobuild, written as it goes
# (default build/mutants.txt), then the counts. With --why every test runs (not only up to the
# first failure) and OUT.why lists the tests that failed for each mutant: which tests catch
# what no other test does. --sample 0 tries every site; --resume goes on with a run that was
# stopped (the mutants OUT holds are skipped); --killed-in tries only the mutants another run
# killed (after a change to the tests: are they all still caught?). A run of the default 500 takes about an hour on
# 2 cores.
set -euo pipefail
cd "$(dirname "$0")/.."

sample=500 seed=1 out=build/mutants.txt build=build/linux list=0 why=0 resume=0 killedIn= paths=()
while [ $# -gt 0 ]; do
    case "$1" in
    --sample) sample=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --list) list=1; shift ;;
    --why) why=1; shift ;;
    --resume) resume=1; shift ;;
    --killed-in) killedIn=$2; shift 2 ;;
    --compare)
        # Killed before, not killed after (survived, or no longer built).
        awk -F: 'NR == FNR { if ($NF == "killed") k[$1 ":" $2 ":" $3] = 1; next }
                 NF >= 4 && $NF != "killed" && ($1 ":" $2 ":" $3) in k' "$2" "$3"
        exit 0 ;;
    -h|--help) sed -n '2,29p' "$0"; exit 0 ;;
    *) paths+=("$1"); shift ;;
    esac
done
[ ${#paths[@]} -gt 0 ] || paths=(actions base catalogue hook keys player text tray volume forms app/program.cpp)
mapfile -t files < <(git ls-files -- "${paths[@]}" | grep -E '\.(cpp|h)$')

# Every site: FILE<TAB>LINE<TAB>MUTATION<TAB>the mutated line.
sites() {
    perl -e '
use strict; use warnings; use Digest::MD5 qw(md5_hex);
my ($sample, $seed, @files) = @ARGV;
my %flip = ("<" => "<=", "<=" => "<", ">" => ">=", ">=" => ">", "==" => "!=", "!=" => "==");
my $num = qr/0[xX][0-9A-Fa-f]+|\d+/;
my @out;
for my $file (@files) {
    open(my $fh, "<", $file) or die "$file: $!";
    my @lines = <$fh>; close $fh;
    my $inBlock = 0; my $prev = "{";
    for my $n (1 .. @lines) {
        my $line = $lines[$n - 1]; chomp $line;
        # The masked line: comments blanked, string and character literals turned into S.
        my $m = ""; my $i = 0; my $len = length $line;
        while ($i < $len) {
            my $c = substr($line, $i, 1); my $two = substr($line, $i, 2);
            if ($inBlock) { if ($two eq "*/") { $m .= "  "; $i += 2; $inBlock = 0 } else { $m .= " "; $i++ } next }
            if ($two eq "//") { $m .= " " x ($len - $i); last }
            if ($two eq "/*") { $m .= "  "; $i += 2; $inBlock = 1; next }
            if ($c eq "\x27" && $i > 0 && substr($line, $i - 1, 1) =~ /[0-9A-Fa-f]/
                && substr($line, $i + 1, 1) =~ /[0-9A-Fa-f]/) { $m .= $c; $i++; next } # 1\x27000
            if ($c eq "\"" || $c eq "\x27") {
                my $j = $i + 1;
                while ($j < $len && substr($line, $j, 1) ne $c) { $j += substr($line, $j, 1) eq "\\" ? 2 : 1 }
                $j = $len - 1 if $j >= $len;
                $m .= "S" x ($j - $i + 1); $i = $j + 1; next;
            }
            $m .= $c; $i++;
        }
        my $trimmed = $m; $trimmed =~ s/^\s+|\s+$//g;
        next if $trimmed eq "";
        my $prevLine = $prev; $prev = $trimmed;
        next if $trimmed =~ /^#/ || $trimmed =~ /^static_assert/;
        my $emit = sub { my ($at, $len, $new, $what) = @_;
            my $l = $line; substr($l, $at, $len) = $new; push @out, [$file, $n, $what, $l] };
        my %k;
        while ($m =~ /(?<=\s)(<=|>=|==|!=|<|>)(?=\s)/g) {
            my ($at, $op) = ($-[1], $1);
            $emit->($at, length $op, $flip{$op}, "cmp" . ++$k{cmp} . " $op to $flip{$op}");
        }
        my @numbers;
        while ($m =~ /(?<=\s)(?:<=|>=|==|!=|<|>)\s+(-?)($num)([uUlL]*)\b/g) { push @numbers, [$-[2], $2, $1] }
        while ($m =~ /(?<![\w.])($num)[uUlL]*\s+(?:<=|>=|==|!=|<|>)\s/g) { push @numbers, [$-[1], $1, ""] }
        if ($m =~ /\bconstexpr\b[^=({]*(?:=\s*|\{)($num)[uUlL]*(?:\}|;)/) { push @numbers, [$-[1], $1, ""] }
        for my $found (sort { $a->[0] <=> $b->[0] } @numbers) {
            my ($at, $text, $minus) = @$found;
            my $hex = $text =~ /^0[xX]/; my $v = $hex ? hex($text) : $text; $v = -$v if $minus;
            for my $d (1, -1) {
                my $w = $v + $d; next if $hex && $w < 0;
                my $new = $hex ? sprintf("0x%X", $w) : ($minus ? $w : $w);
                my ($from, $span) = $minus ? ($at - 1, length($text) + 1) : ($at, length $text);
                $new = "($new)" if !$hex && $w < 0 && !$minus;
                $emit->($from, $span, $new, "bound" . ++$k{bound} . " " . ($minus ? "-" : "") . "$text to $w");
            }
        }
        while ($m =~ /\b(?:if|while)\s*\(/g) {
            my $open = $+[0] - 1; my ($depth, $j) = (0, $open);
            for (; $j < length $m; $j++) {
                my $c = substr($m, $j, 1);
                $depth++ if $c eq "("; $depth-- if $c eq ")"; last if $depth == 0;
            }
            next if $j >= length $m;
            my $cond = substr($m, $open + 1, $j - $open - 1);
            my $from = $open + 1;
            if ($cond =~ /^(.*);/) { $from += length($1) + 1; $cond = substr($m, $from, $j - $from) }
            next if $cond =~ /^\s*[\w:<>]+[\s&*]+\w+\s*=[^=]/; # a declaration
            my $orig = substr($line, $from, $j - $from); (my $core = $orig) =~ s/^\s+//;
            my $lead = length($orig) - length($core);
            $emit->($from + $lead, length $core, "!($core)", "not" . ++$k{not});
        }
        while ($m =~ /\b(true|false)\b/g) {
            my ($at, $w) = ($-[1], $1);
            $emit->($at, length $w, $w eq "true" ? "false" : "true", "bool" . ++$k{bool} . " $w");
        }
        # A statement line: a call or an assignment, begun on this line and ended on it.
        if ($trimmed =~ /;$/ && $prevLine =~ /(?:[;{}:)]|\belse)$/
            && ($trimmed =~ tr/(//) == ($trimmed =~ tr/)//)
            && $trimmed !~ /^(?:return|using|namespace|alignas|typedef|template|case|default|break|continue|throw|delete|goto)\b/
            && $trimmed !~ /=\s*(?:delete|default)\s*;$|\)\s*(?:const|override)\s*;$/
            && $trimmed =~ /^(?:\+\+|--)?\*?[A-Za-z_]\w*(?:(?:::|\.|->)~?[A-Za-z_]\w*|\[[^\]]*\])*(\(|\s*(?:[-+*\/%|&^]|<<|>>)?=\s|\s*(?:\+\+|--)\s*;)/
            && !($1 eq "(" && $trimmed =~ /\(\s*(?:const\s+)?[\w:<>]+[&*]*\s+[&*]*\w+\s*[,)=]/)) {
            my $ind = $line =~ /^(\s*)/ ? $1 : "";
            push @out, [$file, $n, "del", $ind . "{}"];
        }
    }
}
my @chosen = @out;
if ($sample > 0 && $sample < @out) {
    my @keyed = map { [md5_hex("$seed:$_->[0]:$_->[1]:$_->[2]"), $_] } @out;
    @chosen = map { $_->[1] } (sort { $a->[0] cmp $b->[0] } @keyed)[0 .. $sample - 1];
    my %order; @order{map { "$_->[0]:$_->[1]:$_->[2]" } @out} = (0 .. $#out);
    @chosen = sort { $order{"$a->[0]:$a->[1]:$a->[2]"} <=> $order{"$b->[0]:$b->[1]:$b->[2]"} } @chosen;
}
print join("\t", @$_), "\n" for @chosen;
' "$1" "$seed" "${files[@]}"
}

if [ "$list" = 1 ]; then
    sites "$sample"
    exit 0
fi

work=$(mktemp -d)
current=""
restore() { [ -n "$current" ] && cp "$work/original" "$current"; current=""; }
trap 'restore; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
sites "$sample" > "$work/sites"
if [ -n "$killedIn" ]; then
    awk -F'\t' 'NR == FNR { n = split($0, f, ":"); if (f[n] == "killed") k[f[1] ":" f[2] ":" f[3]] = 1; next }
                 ($1 ":" $2 ":" $3) in k' "$killedIn" "$work/sites" > "$work/chosen"
    mv "$work/chosen" "$work/sites"
fi
total=$(wc -l < "$work/sites")
mkdir -p "$(dirname "$out")"
if [ "$resume" = 0 ]; then
    : > "$out"
    [ "$why" = 1 ] && : > "$out.why"
fi
fast=--gtest_fail_fast
[ "$why" = 1 ] && fast=
[ -x "$build/tests/unit/omnitap_unit" ] || { cmake --preset linux >/dev/null; }
unit=$build/tests/unit/omnitap_unit
slow='HookChannel.AMillion*' # the longest test runs last, when the others pass
started=$(date +%s) n=0
while IFS=$'\t' read -r file line what text; do
    n=$((n + 1))
    grep -qF "$file:$line:$what:" "$out" 2>/dev/null && continue
    if [ "$file" != "$current" ]; then
        restore
        cp "$file" "$work/original"
        current=$file
    fi
    TEXT=$text LINE=$line perl -pe '$_ = "$ENV{TEXT}\n" if $. == $ENV{LINE}' "$work/original" > "$file"
    result=survived
    if ! cmake --build "$build" --target omnitap_unit -j2 > "$work/build.log" 2>&1; then
        result=nobuild
    elif ! timeout 20 "$unit" --gtest_brief=1 $fast --gtest_filter="-$slow" > "$work/test.log" 2>&1 ||
        ! timeout 60 "$unit" --gtest_brief=1 --gtest_filter="$slow" > "$work/test.log" 2>&1; then
        result=killed
        if [ "$why" = 1 ]; then
            tests=$(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_.]*\).*/\1/p' "$work/test.log" | sort -u)
            echo "$file:$line:$what:$(echo ${tests:-crashed or hung})" >> "$out.why"
        fi
    elif [[ $file == hook/* ]]; then
        { [ -d build/tsan ] || cmake --preset tsan > /dev/null; }
        if cmake --build build/tsan --target omnitap_threaded -j2 > "$work/build.log" 2>&1 &&
            ! timeout 300 build/tsan/tests/unit/omnitap_threaded --gtest_brief=1 > /dev/null 2>&1; then
            result=killed
            [ "$why" = 1 ] && echo "$file:$line:$what:tsan" >> "$out.why"
        fi
    fi
    echo "$file:$line:$what:$result" >> "$out"
    printf '[%d/%d %ds] %s:%s %s: %s\n' "$n" "$total" $(($(date +%s) - started)) "$file" "$line" \
        "$what" "$result"
done < "$work/sites"
restore
cmake --build "$build" --target omnitap_unit -j2 > /dev/null 2>&1 || true
for r in killed survived nobuild; do
    printf '%s %d\n' "$r" "$(grep -c ":$r\$" "$out" || true)"
done
echo "$(($(date +%s) - started)) s for $total mutants; the list is in $out"
