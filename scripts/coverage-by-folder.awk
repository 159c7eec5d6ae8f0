#!/usr/bin/awk -f
# Sums llvm-cov's per-file report ("Filename Regions Missed Cover Functions Missed Cover Lines
# Missed Cover ...") by the program folder each file lies in: one line a folder with its lines,
# the lines missed and the line coverage, then the total.
$1 ~ /\.(cpp|h)$/ {
    folder = "other"
    if (match($1, /(^|\/)(app|commands|hart|modes|scan|serial_qt|serial|tools|trend|ui)\//)) {
        folder = substr($1, RSTART, RLENGTH)
        gsub("/", "", folder)
    }
    lines[folder] += $8
    missed[folder] += $9
}
END {
    for (folder in lines) {
        printf "%-10s %6d lines, %5d missed, %5.1f %% covered\n", folder, lines[folder],
            missed[folder], 100 * (lines[folder] - missed[folder]) / lines[folder]
        all += lines[folder]
        allMissed += missed[folder]
    }
    printf "%-10s %6d lines, %5d missed, %5.1f %% covered\n", "total", all, allMissed,
        100 * (all - allMissed) / all
}
