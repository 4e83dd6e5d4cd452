# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P EmbedText.cmake: a source file that
# holds the bytes of INPUT as mv::SYMBOL (not NUL-terminated) and mv::SYMBOLSize.
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${bytes}")
string(REGEX REPLACE "(([^,]*,){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} at build time; edit that file instead.\n"
  "#include <cstddef>\n\nnamespace mv {\n"
  "extern const char ${SYMBOL}[];\nextern const std::size_t ${SYMBOL}Size;\n"
  "const char ${SYMBOL}[] = {\n${bytes}0};\n"
  "const std::size_t ${SYMBOL}Size = ${size};\n}  // namespace mv\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
