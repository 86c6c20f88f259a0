# Writes INPUT's bytes into OUTPUT as a C++ array NAME (and NAME + "Size") in namespace sutograf, so the
# core library carries the file without Qt resources and without a file beside the program. A byte
# array rather than a string literal: MSVC refuses literals over 16 KB.
# Usage: cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=kName -P embed_file.cmake
file(READ "${INPUT}" hex HEX)
file(SIZE "${INPUT}" size)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
     "// Generated from ${INPUT} by embed_file.cmake; do not edit.\n"
     "#include <cstddef>\n"
     "namespace sutograf {\n"
     "extern const unsigned char ${NAME}[] = {\n${bytes}0};\n"
     "extern const std::size_t ${NAME}Size = ${size};\n"
     "} // namespace sutograf\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
