# Reads `objdump -p` of a PE image and prints "name ordinal" for each named export, unsorted.
# The name-pointer table shows an index into the address table (newer objdumps add "+base[n]"
# with the ordinal itself); ordinal = base + index.
/^Ordinal Base/ && base == "" { base = $3 }
/^\[Ordinal\/Name Pointer\] Table/ { in_names = 1; next }
in_names && NF == 0 { in_names = 0 }
in_names {
    line = $0
    if (match(line, /\+base\[ *[0-9]+\]/)) {
        ord = substr(line, RSTART, RLENGTH); gsub(/[^0-9]/, "", ord)
    } else {
        match(line, /\[ *[0-9]+\]/)
        ord = substr(line, RSTART, RLENGTH); gsub(/[^0-9]/, "", ord); ord += base
    }
    print $NF, ord + 0
}
