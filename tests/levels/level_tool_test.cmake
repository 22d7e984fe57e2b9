# qvl-levels on bad input: every command answers with a clear message and an
# error status, never a crash; and the commands that change files work on
# copies made here.
# Arguments: -DTOOL= -DSOURCE= -DLEVELS= -DWORK=
foreach(var TOOL SOURCE LEVELS WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "level_tool_test.cmake needs -D${var}=...")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# expect(<exit code> <regex the output must match> <args...>)
# Every message ends with a newline; a usage error or unreadable input (2)
# writes to standard error alone, a success (0) to standard output alone.
function(expect code pattern)
  execute_process(COMMAND "${TOOL}" ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL "${code}")
    message(FATAL_ERROR "qvl-levels ${ARGN}: exit ${rc}, expected ${code}\n${out}${err}")
  endif()
  if(NOT "${out}${err}" MATCHES "${pattern}")
    message(FATAL_ERROR "qvl-levels ${ARGN}: output does not match '${pattern}':\n${out}${err}")
  endif()
  if((code EQUAL 2 AND NOT out STREQUAL "") OR (code EQUAL 0 AND NOT err STREQUAL "")
     OR NOT "${out}|${err}|" MATCHES "^(|.*\n)\\|(|.*\n)\\|$")
    message(FATAL_ERROR "qvl-levels ${ARGN}: wrong stream or no final newline:\n[out]${out}[err]${err}")
  endif()
endfunction()

# Usage.
expect(0 "^Usage: qvl-levels COMMAND ARGUMENTS\n" --help)
expect(0 "^qvl-levels 1\\.0\\.0\n$" --version)
expect(2 "^qvl-levels: no command given\nUsage: qvl-levels")
expect(2 "^qvl-levels: unknown command \"frobnicate\"\nUsage: qvl-levels" frobnicate)
expect(2 "^qvl-levels: wrong arguments for compile\nUsage: qvl-levels" compile only-one-argument)

# Unreadable and wrongly sized files.
expect(2 "cannot read .*missing.ZHN" check "${WORK}/missing.ZHN")
expect(2 "cannot read .*: it is a folder" check "${WORK}")
expect(2 "cannot write .*/no/such/folder/out.ZHN" compile "${SOURCE}" "${WORK}/no/such/folder/out.ZHN")
file(WRITE "${WORK}/short.ZHN" "too short")
expect(2 "is 9 bytes long; a level file has 2100 bytes" check "${WORK}/short.ZHN")
expect(2 "is 9 bytes long" decompile "${WORK}/short.ZHN")
expect(2 "is 9 bytes long" solve "${WORK}/short.ZHN" 1)
expect(2 "not a number from 1 to 70" solve "${LEVELS}" 71)
expect(2 "not a number from 1 to 70" solve "${LEVELS}" 1x)

# Bad source text, with the line number.
set(board "TSST\nTSST\nTWWT\nTooT\no..o\n")
file(WRITE "${WORK}/badchar.txt" "# comment\nname: Solo\nTSST\nTSSX\nTWWT\nTooT\no..o\n")
expect(2 "badchar.txt: line 4: unexpected character 'X'" compile "${WORK}/badchar.txt" "${WORK}/out.ZHN")
file(WRITE "${WORK}/longname.txt" "name: A name much too long\n${board}")
expect(2 "line 1: the name \"A name much too long\" is longer than 10 characters" compile "${WORK}/longname.txt" "${WORK}/out.ZHN")
file(WRITE "${WORK}/codepage.txt" "\nname: Ωmega\n${board}")
expect(2 "line 2: the name \"Ωmega\" has a character that Windows-1252 cannot store" compile "${WORK}/codepage.txt" "${WORK}/out.ZHN")
file(WRITE "${WORK}/noname.txt" "name:\n${board}")
expect(2 "line 1: the level has no name" compile "${WORK}/noname.txt" "${WORK}/out.ZHN")
file(WRITE "${WORK}/shape.txt" "name: Solo\nTSST\nTSST\nTWWT\nToWT\no..o\n")
expect(2 "line 1: level \"Solo\": the wide piece \\(W\\) must be two cells side by side" compile "${WORK}/shape.txt" "${WORK}/out.ZHN")
file(WRITE "${WORK}/stray.txt" "TSST\n")
expect(2 "line 1: expected a line \"name: TEXT\"" compile "${WORK}/stray.txt" "${WORK}/out.ZHN")
file(WRITE "${WORK}/cut.txt" "name: Cut\nTSST\nTSST\n")
expect(2 "line 3: the text ends inside the board of level \"Cut\"" compile "${WORK}/cut.txt" "${WORK}/out.ZHN")
file(WRITE "${WORK}/one.txt" "# one level only\nname: Solo\n${board}")
expect(2 "holds 1 level; a level file needs exactly 70" compile "${WORK}/one.txt" "${WORK}/out.ZHN")
if(EXISTS "${WORK}/out.ZHN")
  message(FATAL_ERROR "a failed compile left an output file")
endif()

# Decompile and compile again: the same bytes.
execute_process(COMMAND "${TOOL}" decompile "${LEVELS}" OUTPUT_FILE "${WORK}/round.txt" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "decompile failed (${rc})")
endif()
expect(0 "70 levels, 2100 bytes" compile "${WORK}/round.txt" "${WORK}/round.ZHN")
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/round.ZHN" "${LEVELS}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "decompile and compile do not give the level file back")
endif()

# check finds levels out of order and repeated ones: made from the source by
# swapping its first two levels, and by giving level 2 the board of level 1.
file(READ "${SOURCE}" source)
# A level is a name line at the start of a line and five board lines.
string(REGEX MATCHALL "\nname: [^\n]*\n[^\n]*\n[^\n]*\n[^\n]*\n[^\n]*\n[^\n]*" blocks "${source}")
list(LENGTH blocks count)
if(NOT count EQUAL 70)
  message(FATAL_ERROR "expected 70 levels in ${SOURCE}, found ${count}")
endif()
list(GET blocks 0 first)
list(GET blocks 1 second)
list(SUBLIST blocks 2 -1 rest)
string(REPLACE ";" "" rest "${rest}")
string(REGEX REPLACE "^(\nname: [^\n]*)\n.*" "\\1" secondName "${second}")
string(REGEX REPLACE "^\nname: [^\n]*" "" firstBoard "${first}")
file(WRITE "${WORK}/swapped.txt" "${second}${first}${rest}\n")
file(WRITE "${WORK}/repeated.txt" "${first}${secondName}${firstBoard}${rest}\n")
foreach(case swapped repeated)
  expect(0 "70 levels" compile "${WORK}/${case}.txt" "${WORK}/${case}.ZHN")
endforeach()
expect(1 "level 2: needs [0-9]+ steps, fewer than the level before" check "${WORK}/swapped.ZHN")
expect(1 "level 2: the same layout as level 1" check "${WORK}/repeated.ZHN")

# A file of the right size full of nonsense: every level is invalid.
string(REPEAT "A" 2100 nonsense)
file(WRITE "${WORK}/nonsense.ZHN" "${nonsense}")
expect(1 "level 1: invalid layout: The square is placed in column 6, row 1671, outside the board[.]" check "${WORK}/nonsense.ZHN")
expect(1 "70 levels cannot be drawn" decompile "${WORK}/nonsense.ZHN")
expect(2 "level 1 is not a valid layout" solve "${WORK}/nonsense.ZHN" 1)

# Control characters in a level name (ESC, and the C1 OSC of byte 0x9D) reach the terminal as spaces.
file(COPY_FILE "${LEVELS}" "${WORK}/control.ZHN")
execute_process(COMMAND sh -c "printf '\\033\\235' | dd of='${WORK}/control.ZHN' bs=1 seek=4 conv=notrunc status=none")
expect(0 "^Level 1 \"Door  ep\"\n" solve "${WORK}/control.ZHN" 1)

# solve prints numbered steps down to the solved board.
expect(0 "Step 1: [a-z ]+ [0-9] (left|right|up|down) [12] cells?\n" solve "${LEVELS}" 1)

# help-table writes the rows between the markers and nothing else, then agrees.
file(WRITE "${WORK}/page.html" "<html>\n<table>\n  <!-- level-table:begin -->\n  <tr><td>old</td></tr>\n  <!-- level-table:end -->\n</table>\n</html>\n")
expect(1 "differs from .* at row 1" help-table --check "${LEVELS}" "${WORK}/page.html")
expect(0 "level table written" help-table "${LEVELS}" "${WORK}/page.html")
expect(0 "matches" help-table --check "${LEVELS}" "${WORK}/page.html")
file(READ "${WORK}/page.html" page)
if(NOT page MATCHES "^<html>\n<table>\n  <!-- level-table:begin -->\n  <tr><td>1</td><td>[^<]+</td><td>[0-9]+</td></tr>\n"
   OR NOT page MATCHES "<td>70</td>.*</tr>\n  <!-- level-table:end -->\n</table>\n</html>\n$")
  message(FATAL_ERROR "help-table wrote an unexpected page:\n${page}")
endif()
file(WRITE "${WORK}/nomarkers.html" "<html></html>\n")
expect(2 "were not found" help-table "${LEVELS}" "${WORK}/nomarkers.html")
