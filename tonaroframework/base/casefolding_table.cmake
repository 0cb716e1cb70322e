# Writes the table of full Unicode case folding (casefolding.h) as C++ from
# the Unicode Character Database's CaseFolding.txt: the mappings of status C
# (common) and F (full), which together are the full case folding.
#   cmake -DINPUT=.../CaseFolding.txt -DOUTPUT=.../casefolding_table.cpp -P casefolding_table.cmake
file(STRINGS "${INPUT}" lines REGEX "^[0-9A-F]+; [CF]; ")
file(STRINGS "${INPUT}" version LIMIT_COUNT 1)
string(REGEX REPLACE "^# *" "" version "${version}")
set(entries "")
set(count 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([0-9A-F]+); [CF]; ([0-9A-F ]+);")
    message(FATAL_ERROR "${INPUT}: a line that is not a folding: ${line}")
  endif()
  set(from "${CMAKE_MATCH_1}")
  string(REPLACE " " ";" to "${CMAKE_MATCH_2}")
  list(LENGTH to size)
  if(size GREATER 3)
    message(FATAL_ERROR "${INPUT}: a folding longer than three characters: ${line}")
  endif()
  set(targets "")
  foreach(character IN LISTS to)
    string(APPEND targets "0x${character}, ")
  endforeach()
  while(size LESS 3)
    string(APPEND targets "0, ")
    math(EXPR size "${size} + 1")
  endwhile()
  string(REGEX REPLACE ", $" "" targets "${targets}")
  string(APPEND entries "    {0x${from}, {${targets}}},\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count LESS 1000)
  message(FATAL_ERROR "${INPUT}: only ${count} foldings; is it the Unicode CaseFolding.txt?")
endif()
file(WRITE "${OUTPUT}.tmp"
"// Made by casefolding_table.cmake from ${version}; do not edit.
#include \"tonaroframework/base/casefolding.h\"

const CaseFoldingEntry kCaseFoldingTable[] = {
${entries}};
const size_t kCaseFoldingTableSize = sizeof kCaseFoldingTable / sizeof kCaseFoldingTable[0];
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
