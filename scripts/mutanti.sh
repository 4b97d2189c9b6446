#!/bin/bash
# Puts small faults (mutants) into a copy of the sources one at a time and
# runs the whole suite against each: a mutant is killed when a test fails or
# the build fails, and survives when the suite still passes.
#
#   scripts/mutanti.sh [--solo nome1,nome2,...] [--filtro REGEX] [--cartella DIR]
#                      [--lista FILE] [--tsv FILE] [--timeout SECONDI]
#                      [--tipo RelWithDebInfo|Debug] [--verifica]
#                      [--attendi-se COMANDO] [--prove REGEX]
#
# The list format is described at the top of scripts/mutanti.txt.
# --timeout is ctest's limit for tests that set none of their own.
# --prove runs only the tests whose name matches (ctest -R): quicker for
# mutants no other test can see, but a survivor there is only a hint.
# --attendi-se: before each build and suite, wait while COMANDO succeeds
# (e.g. another job measuring times on the same machine).
# A mutant whose failing tests all pass when run again is "instabile": the
# kill did not repeat, so it counts neither as killed nor as survived.
# Exit code: 0 after a run (whatever the score), 1 when the unmutated suite
# or its build fails, 2 for a malformed list or a wrong option; --verifica
# exits 1 when a mutant no longer applies.
set -u

# One group, read whole before it runs: editing this file during a run is harmless.
{
radice=$(cd "$(dirname "$0")/.." && pwd)
lista=$radice/scripts/mutanti.txt
cartella=${TMPDIR:-/tmp}/vorendi-mutanti
tsv=
solo=
filtro=
attesa=120
tipo=RelWithDebInfo
verifica=0
attendi=
prove=.

uso() {
    sed -n '5,9p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

while [ $# -gt 0 ]; do
    case $1 in
    --solo) solo=${2:?}; shift 2 ;;
    --filtro) filtro=${2:?}; shift 2 ;;
    --cartella) cartella=${2:?}; shift 2 ;;
    --lista) lista=${2:?}; shift 2 ;;
    --tsv) tsv=${2:?}; shift 2 ;;
    --timeout) attesa=${2:?}; shift 2 ;;
    --tipo) tipo=${2:?}; shift 2 ;;
    --verifica) verifica=1; shift ;;
    --attendi-se) attendi=${2:?}; shift 2 ;;
    --prove) prove=${2:?}; shift 2 ;;
    -h|--help) uso ;;
    *) echo "Opzione sconosciuta: $1" >&2; uso ;;
    esac
done

[ $verifica = 1 ] || mkdir -p "$cartella" || exit 2
[ $verifica = 1 ] || cartella=$(cd "$cartella" && pwd)
lista=$(cd "$(dirname "$lista")" && pwd)/$(basename "$lista")
sorgenti=$cartella/sorgenti
costruzione=$cartella/build
registri=$cartella/log
schede=$cartella/schede
# --verifica reads the working tree itself and touches no scratch folder,
# so that it may run beside a run of the mutants.
if [ $verifica = 1 ]; then
    sorgenti=$radice
    schede=$(mktemp -d) || exit 2
    trap 'rm -rf "$schede"' EXIT
fi
[ -n "$tsv" ] || tsv=$cartella/mutanti.tsv

# --- The list: one folder per mutant holding nome, file, prima, dopo. -------
rm -rf "$schede"
mkdir -p "$schede"
[ $verifica = 1 ] || mkdir -p "$registri"
perl -e '
    use strict; use warnings;
    my ($lista, $schede) = @ARGV;
    open(my $in, "<", $lista) or die "Impossibile leggere $lista: $!\n";
    my @righe = <$in>;
    chomp @righe;
    my (@schede, %visti);
    my ($scheda, $campo);
    my $errore = sub { print STDERR "$lista:$_[0]: $_[1]\n"; exit 2; };
    my $chiudi = sub {
        my ($n) = @_;
        return unless $scheda;
        for my $k (qw(nome file prima dopo)) {
            $errore->($scheda->{riga}, "manca il campo \"$k:\"") unless defined $scheda->{$k};
        }
        $errore->($scheda->{riga}, "\"prima:\" vuoto") if $scheda->{prima} eq "";
        $errore->($scheda->{riga}, "\"prima:\" e \"dopo:\" uguali") if $scheda->{prima} eq $scheda->{dopo};
        $errore->($scheda->{riga}, "nome non valido: $scheda->{nome}") unless $scheda->{nome} =~ /^[A-Za-z0-9_.-]+$/;
        $errore->($scheda->{riga}, "nome ripetuto: $scheda->{nome}") if $visti{$scheda->{nome}}++;
        $errore->($scheda->{riga}, "percorso non valido: $scheda->{file}") if $scheda->{file} =~ m{(^/|\.\.)};
        push @schede, $scheda;
        ($scheda, $campo) = (undef, undef);
    };
    for my $i (0 .. $#righe) {
        my $r = $righe[$i];
        my $n = $i + 1;
        if ($r eq "---") { $errore->($n, "scheda senza \"dopo:\"") if $scheda && !defined $scheda->{dopo}; $chiudi->($n); next; }
        if (defined $campo && ($campo eq "prima" || $campo eq "dopo") && $scheda->{"blocco_$campo"}) {
            if ($campo eq "prima" && $r =~ /^dopo:( (.*))?$/) {
                $scheda->{prima} = join("\n", @{$scheda->{righe_prima}});
            } else {
                push @{$scheda->{"righe_$campo"}}, $r;
                $scheda->{$campo} = join("\n", @{$scheda->{"righe_$campo"}}) if $campo eq "dopo";
                next;
            }
        }
        next if $r =~ /^\s*#/ || $r =~ /^\s*$/;
        if ($r =~ /^(nome|file|prima|dopo):(?: (.*))?$/) {
            my ($k, $v) = ($1, $2);
            $scheda //= { riga => $n };
            $errore->($n, "campo \"$k:\" ripetuto") if defined $scheda->{$k};
            if ($k eq "nome" || $k eq "file") {
                $v //= ""; $v =~ s/\s+$//;
                $errore->($n, "\"$k:\" vuoto") if $v eq "";
                $scheda->{$k} = $v; $campo = $k;
            } elsif (defined $v && $v ne "") {
                $scheda->{$k} = $v; $campo = $k; $scheda->{"blocco_$k"} = 0;
            } else {
                $scheda->{"righe_$k"} = []; $scheda->{$k} = ""; $campo = $k; $scheda->{"blocco_$k"} = 1;
            }
            $errore->($n, "\"dopo:\" prima di \"prima:\"") if $k eq "dopo" && !defined $scheda->{prima};
            next;
        }
        $errore->($n, "riga inattesa: $r");
    }
    $errore->(scalar(@righe), "scheda senza \"dopo:\"") if $scheda && !defined $scheda->{dopo};
    $chiudi->(scalar @righe);
    $errore->(1, "nessun mutante nella lista") unless @schede;
    my $k = 0;
    for my $s (@schede) {
        my $dir = sprintf("%s/%03d", $schede, ++$k);
        mkdir $dir or die "$dir: $!\n";
        for my $f (qw(nome file prima dopo)) {
            open(my $o, ">", "$dir/$f") or die "$dir/$f: $!\n";
            print $o $s->{$f};
            close $o;
        }
    }
' "$lista" "$schede" || exit 2

# The selection: in the order of --solo when given, else in list order.
scelte=()
if [ -n "$solo" ]; then
    IFS=, read -ra chiesti <<<"$solo"
    for c in "${chiesti[@]}"; do
        trovata=
        for d in "$schede"/*/; do
            d=${d%/}
            if [ "$(cat "$d/nome")" = "$c" ]; then trovata=$d; break; fi
        done
        [ -n "$trovata" ] || { echo "Mutante sconosciuto: $c" >&2; exit 2; }
        if [ -z "$filtro" ] || grep -Eq -- "$filtro" <<<"$c"; then scelte+=("$trovata"); fi
    done
else
    for d in "$schede"/*/; do
        d=${d%/}
        if [ -z "$filtro" ] || grep -Eq -- "$filtro" "$d/nome"; then scelte+=("$d"); fi
    done
fi
[ ${#scelte[@]} -gt 0 ] || { echo "Nessun mutante scelto." >&2; exit 2; }

if [ $verifica = 0 ]; then
    # --- The copy: the working tree's files as git sees them (tracked, with
    # their uncommitted changes, and new files not ignored). Only files that
    # differ are rewritten, so a second run rebuilds only what changed. ---------
    nuova=$cartella/nuova-copia
    rm -rf "$nuova"
    mkdir -p "$nuova" "$sorgenti"
    (cd "$radice" && git ls-files -z --cached --others --exclude-standard \
        | while IFS= read -r -d '' f; do [ -f "$f" ] && printf '%s\0' "$f"; done \
        | tar --null -T - -cf -) | tar -C "$nuova" -xf - || { echo "Copia non riuscita." >&2; exit 2; }
    (cd "$nuova" && find . -type f -print0) | while IFS= read -r -d '' f; do
        if ! cmp -s "$nuova/$f" "$sorgenti/$f"; then
            mkdir -p "$(dirname "$sorgenti/$f")"
            cp "$nuova/$f" "$sorgenti/$f"
        fi
    done
    (cd "$sorgenti" && find . -type f -print0) | while IFS= read -r -d '' f; do
        [ -e "$nuova/$f" ] || rm -f "$sorgenti/$f"
    done
    rm -rf "$nuova"
fi

# How often the snippet occurs in the file, overlapping occurrences included.
conta() {
    perl -e '
        local $/; open(my $f, "<", $ARGV[0]) or exit 9; my $t = <$f>;
        open(my $p, "<", $ARGV[1]) or exit 9; my $s = <$p>;
        my ($n, $i) = (0, -1);
        while (($i = index($t, $s, $i + 1)) >= 0) { ++$n }
        print $n;
    ' "$1" "$2"
}

applica() {
    perl -e '
        local $/; open(my $f, "<", $ARGV[0]) or exit 9; my $t = <$f>; close $f;
        open(my $p, "<", $ARGV[1]) or exit 9; my $s = <$p>;
        open(my $d, "<", $ARGV[2]) or exit 9; my $r = <$d>;
        my $i = index($t, $s);
        exit 9 if $i < 0;
        substr($t, $i, length $s) = $r;
        open($f, ">", $ARGV[0]) or exit 9; print $f $t; close $f or exit 9;
    ' "$1" "$2" "$3"
}

# Whether a mutant applies: prints the reason when it does not.
non_applicabile() {
    local d=$1 file n
    file=$(cat "$d/file")
    if [ ! -f "$sorgenti/$file" ]; then
        echo "file assente"
        return 0
    fi
    n=$(conta "$sorgenti/$file" "$d/prima")
    if [ "$n" = 0 ]; then
        echo "originale assente"
    elif [ "$n" != 1 ]; then
        echo "originale presente $n volte"
    else
        return 1
    fi
}

if [ $verifica = 1 ]; then
    errori=0
    for d in "${scelte[@]}"; do
        if motivo=$(non_applicabile "$d"); then
            printf '%-34s NON APPLICABILE (%s) in %s\n' "$(cat "$d/nome")" "$motivo" "$(cat "$d/file")"
            errori=$((errori + 1))
        fi
    done
    echo "${#scelte[@]} mutanti, $errori non applicabili."
    [ $errori -eq 0 ]
    exit
fi

aspetta() {
    [ -n "$attendi" ] || return 0
    while bash -c "$attendi" >/dev/null 2>&1; do
        echo "In attesa: $attendi" >&2
        sleep 60
    done
}

compila() {
    cmake --build "$costruzione" -j2 >"$1" 2>&1
}

# Runs the suite; sets uccisori to the tests that failed, comma-separated.
# A failed test runs once more: one that then passes is flaky (a time limit
# on a loaded machine) and goes into instabili instead.
prova() {
    local registro=$1 falliti=$costruzione/Testing/Temporary/LastTestsFailed.log
    local primi ripetuti esito
    uccisori=
    instabili=
    rm -f "$falliti"
    (cd "$costruzione" && QT_QPA_PLATFORM=offscreen ctest -j2 -R "$prove" --timeout "$attesa" \
        --output-on-failure) >"$registro" 2>&1
    esito=$?
    [ $esito -ne 0 ] || return 0
    if [ ! -s "$falliti" ]; then
        uccisori="ctest($esito)"
        return 1
    fi
    primi=$(sed 's/^[0-9]*://' "$falliti" | sort)
    (cd "$costruzione" && QT_QPA_PLATFORM=offscreen ctest --rerun-failed --timeout "$attesa" \
        --output-on-failure) >"$registro.ripetuto" 2>&1
    esito=$?
    ripetuti=
    if [ $esito -ne 0 ]; then
        if [ -s "$falliti" ]; then
            ripetuti=$(sed 's/^[0-9]*://' "$falliti" | sort)
        else
            ripetuti=$primi
        fi
    fi
    uccisori=$(comm -12 <(echo "$primi") <(echo "$ripetuti") | grep . | paste -sd, -)
    instabili=$(comm -23 <(echo "$primi") <(echo "$ripetuti") | grep . | paste -sd, -)
    [ -z "$uccisori" ]
}

if [ ! -f "$costruzione/CMakeCache.txt" ]; then
    opzioni=(-DCMAKE_BUILD_TYPE="$tipo" -DVORENDI_BENCH=OFF -DVORENDI_TESTS=ON)
    # A faster linker, when there is one: every mutant relinks every test.
    if command -v ld.lld >/dev/null; then
        opzioni+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
    fi
    cmake -S "$sorgenti" -B "$costruzione" "${opzioni[@]}" >"$registri/configura.log" 2>&1 \
        || { echo "Configurazione non riuscita: $registri/configura.log" >&2; exit 1; }
fi
aspetta
echo "Compilazione della copia senza mutanti in $costruzione ..."
compila "$registri/0-originale.compila.log" \
    || { echo "La copia senza mutanti non compila: $registri/0-originale.compila.log" >&2; exit 1; }
echo "Suite senza mutanti ..."
inizio=$SECONDS
if prova "$registri/0-originale.ctest.log"; then
    echo "Suite senza mutanti superata in $((SECONDS - inizio)) s."
    [ -z "$instabili" ] || echo "Instabili (falliti una volta, poi superati): $instabili"
else
    echo "La suite senza mutanti fallisce ($uccisori): $registri/0-originale.ctest.log" >&2
    exit 1
fi

# The file under mutation goes back as it was, even on Ctrl-C.
in_corso=
riserva=$cartella/originale
ripristina() {
    if [ -n "$in_corso" ]; then
        cp "$riserva" "$in_corso"
        touch "$in_corso"
        in_corso=
    fi
}
trap 'ripristina; exit 130' INT TERM
trap ripristina EXIT

printf 'nome\tfile\tesito\tuccisori\tinstabili\tsecondi\n' >"$tsv"
uccisi=0
sopravvissuti=0
incerti=0
inapplicabili=0
elenco_sopravvissuti=()
for d in "${scelte[@]}"; do
    nome=$(cat "$d/nome")
    file=$(cat "$d/file")
    aspetta
    inizio=$SECONDS
    uccisori=
    instabili=
    if motivo=$(non_applicabile "$d"); then
        esito="NON APPLICABILE ($motivo)"
        inapplicabili=$((inapplicabili + 1))
    else
        cp "$sorgenti/$file" "$riserva"
        in_corso=$sorgenti/$file
        applica "$sorgenti/$file" "$d/prima" "$d/dopo" || { ripristina; echo "Impossibile scrivere $file" >&2; exit 1; }
        if ! compila "$registri/$nome.compila.log"; then
            esito="ucciso"
            uccisori="(compilazione)"
            uccisi=$((uccisi + 1))
        elif ! prova "$registri/$nome.ctest.log"; then
            esito="ucciso"
            uccisi=$((uccisi + 1))
        elif [ -n "$instabili" ]; then
            esito="instabile"
            incerti=$((incerti + 1))
        else
            esito="sopravvissuto"
            sopravvissuti=$((sopravvissuti + 1))
            elenco_sopravvissuti+=("$nome")
        fi
        ripristina
    fi
    printf '%-34s %-14s %s%s\n' "$nome" "$esito" "$uccisori" "${instabili:+ (instabili: $instabili)}"
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$nome" "$file" "$esito" "$uccisori" "$instabili" \
        "$((SECONDS - inizio))" >>"$tsv"
done

applicabili=$((uccisi + sopravvissuti))
echo
if [ $applicabili -gt 0 ]; then
    echo "Punteggio: $uccisi uccisi su $applicabili applicabili ($((100 * uccisi / applicabili))%)."
fi
[ $incerti -eq 0 ] || echo "Instabili (uccisione non ripetuta, da rivedere): $incerti."
[ $inapplicabili -eq 0 ] || echo "Non applicabili: $inapplicabili (vedi sopra): la lista va aggiornata."
[ ${#elenco_sopravvissuti[@]} -eq 0 ] || echo "Sopravvissuti: ${elenco_sopravvissuti[*]}"
echo "Rapporto: $tsv"
exit 0
}
