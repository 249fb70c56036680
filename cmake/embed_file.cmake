# Turns one binary file into a C++ source holding it as a constant byte array.
# Inputs: IN (file), OUT (source to write), SYMBOL (array name). The source includes the generated
# declarations, so a file whose size changed since the configure step fails to compile instead of
# linking an array of the wrong length.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}.tmp" "// Generated from ${IN}; do not edit.\n#include \"assets/embedded_arrays.h\"\n\n"
     "alignas(4) const uint8_t ${SYMBOL}[${size}] = {\n${bytes}\n};\n")
file(RENAME "${OUT}.tmp" "${OUT}")
