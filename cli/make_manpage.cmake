# Writes quorvel-cli's manual page from the program's own help, so that the page
# says what the program does and nothing else has to be kept in step with it.
# Usage: cmake -DPROGRAM=path/to/quorvel-cli -DOUTPUT=quorvel-cli.1 -P make_manpage.cmake
#
# 1. NAME from the help's first line ("quorvel-cli: what it is."), SYNOPSIS from its
#    "Usage:" lines and those of every subcommand.
# 2. DESCRIPTION: the rest of the top-level help, up to "Exit status:".
# 3. SUBCOMMANDS: one subsection per name in the help's "Subcommands:" list, holding
#    that subcommand's --help.
# 4. EXIT STATUS: the help's "Exit status:" paragraph.
# Help texts go in as they are printed (no filling), escaped for roff.
cmake_minimum_required(VERSION 3.25)

foreach(variable PROGRAM OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "make_manpage.cmake needs -D${variable}=...")
  endif()
endforeach()

# Stand-ins for the characters that a CMake list treats specially (";" separates,
# brackets group, a backslash escapes), while help lines are held in lists.
string(ASCII 1 semicolon)
string(ASCII 2 open_bracket)
string(ASCII 3 close_bracket)
string(ASCII 4 backslash)

# The standard output of PROGRAM with the arguments given, as a list of lines.
function(read_help out_lines)
  execute_process(COMMAND ${PROGRAM} ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} failed: ${result}")
  endif()
  string(REPLACE "\\" "${backslash}" text "${text}")
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REPLACE "[" "${open_bracket}" text "${text}")
  string(REPLACE "]" "${close_bracket}" text "${text}")
  string(REGEX REPLACE "\n+$" "" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(${out_lines} "${lines}" PARENT_SCOPE)
endfunction()

# Characters beyond ASCII (UTF-8) as roff escapes of their code points, so that
# the page reads the same whatever encoding the formatter assumes for its input.
function(roff_code_points utf8 out_escapes)
  string(HEX "${utf8}" hex)
  string(LENGTH "${hex}" digits)
  set(escapes "")
  set(offset 0)
  while(offset LESS digits)
    string(SUBSTRING "${hex}" ${offset} 2 lead)
    # The lead byte says how many continuation bytes follow, and keeps the rest
    # of its bits for the code point: 110xxxxx, 1110xxxx, 11110xxx.
    math(EXPR lead "0x${lead}")
    if(lead GREATER_EQUAL 240)  # 0xF0
      set(continuation_bytes 3)
    elseif(lead GREATER_EQUAL 224)  # 0xE0
      set(continuation_bytes 2)
    else()
      set(continuation_bytes 1)
    endif()
    math(EXPR code "${lead} & ((1 << (6 - ${continuation_bytes})) - 1)")
    foreach(index RANGE 1 ${continuation_bytes})
      math(EXPR offset "${offset} + 2")
      string(SUBSTRING "${hex}" ${offset} 2 byte)
      math(EXPR code "(${code} << 6) | (0x${byte} & 0x3F)")
    endforeach()
    math(EXPR offset "${offset} + 2")
    math(EXPR code "${code}" OUTPUT_FORMAT HEXADECIMAL)
    string(SUBSTRING "${code}" 2 -1 code)
    string(TOUPPER "${code}" code)
    string(LENGTH "${code}" length)
    while(length LESS 4)
      string(PREPEND code "0")
      math(EXPR length "${length} + 1")
    endwhile()
    string(APPEND escapes "\\[u${code}]")
  endwhile()
  set(${out_escapes} "${escapes}" PARENT_SCOPE)
endfunction()

# One line of help as roff text: backslashes printed as such; hyphens, apostrophes,
# grave accents, tildes and carets as their ASCII characters, which formatters
# otherwise may print as typographic ones (so that options and "FILE~" can be
# copied); characters beyond ASCII as code points; and a leading dot kept from
# reading as a request.
function(roff_text line out_text)
  string(REPLACE "\\" "\\e" line "${line}")
  string(REPLACE "${backslash}" "\\e" line "${line}")
  string(REPLACE "-" "\\-" line "${line}")
  string(REPLACE "'" "\\(aq" line "${line}")
  string(REPLACE "`" "\\(ga" line "${line}")
  string(REPLACE "~" "\\(ti" line "${line}")
  string(REPLACE "^" "\\(ha" line "${line}")
  string(REPLACE "${semicolon}" ";" line "${line}")
  string(REPLACE "${open_bracket}" "[" line "${line}")
  string(REPLACE "${close_bracket}" "]" line "${line}")
  # Bytes outside printable ASCII (and tab): runs of UTF-8 characters, the first
  # run each time (a shorter run may also be part of a longer one).
  while(line MATCHES "[^\t -~]+")
    roff_code_points("${CMAKE_MATCH_0}" escapes)
    string(REPLACE "${CMAKE_MATCH_0}" "${escapes}" line "${line}")
  endwhile()
  if(line MATCHES "^\\.")
    string(PREPEND line "\\&")
  endif()
  set(${out_text} "${line}" PARENT_SCOPE)
endfunction()

# The lines of the list named lines_name as roff, one output line each. (A list
# passed by name keeps its empty lines.)
function(roff_lines out_text lines_name)
  set(text "")
  foreach(line IN LISTS ${lines_name})
    roff_text("${line}" line)
    string(APPEND text "${line}\n")
  endforeach()
  set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

# Help lines, printed as they are (no filling or adjusting).
function(roff_help out_text lines_name)
  roff_lines(text ${lines_name})
  set(${out_text} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

# 1. The top-level help, split into its parts.
read_help(help --help)
read_help(version --version)
list(GET help 0 first_line)
if(NOT first_line MATCHES "^([^:]+): (.+[^.])\\.?$")
  message(FATAL_ERROR "the help's first line is not \"NAME: what it is\": ${first_line}")
endif()
set(program "${CMAKE_MATCH_1}")
set(summary "${CMAKE_MATCH_2}")
string(TOUPPER "${program}" title)

set(usage "")
set(description "")
set(exit_status "")
set(subcommands "")
set(part description)
list(SUBLIST help 1 -1 help)
foreach(line IN LISTS help)
  if(line MATCHES "^Usage: (.*)")
    list(APPEND usage "${CMAKE_MATCH_1}")
    continue()
  elseif(line MATCHES "^Exit status: (.*)")
    set(part exit_status)
    set(line "${CMAKE_MATCH_1}")
  elseif(line STREQUAL "Subcommands:")
    set(part subcommands)
  elseif(line STREQUAL "")
    set(part description)
  elseif(part STREQUAL "subcommands" AND line MATCHES "^  ([a-z][a-z0-9-]*) ")
    list(APPEND subcommands "${CMAKE_MATCH_1}")
  endif()
  if(part STREQUAL "exit_status")
    list(APPEND exit_status "${line}")
  else()
    list(APPEND description "${line}")
  endif()
endforeach()
foreach(required usage subcommands exit_status)
  if(NOT ${required})
    message(FATAL_ERROR "no ${required} in the output of ${PROGRAM} --help")
  endif()
endforeach()

# 3. Each subcommand's help; its usage lines join the synopsis.
set(sections "")
foreach(subcommand IN LISTS subcommands)
  read_help(subcommand_help ${subcommand} --help)
  foreach(line IN LISTS subcommand_help)
    if(line MATCHES "^Usage: (.*)")
      list(APPEND usage "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  roff_text("${subcommand}" heading)
  roff_help(body subcommand_help)
  string(APPEND sections ".SS ${heading}\n${body}")
endforeach()

# The program's name in bold at the start of each synopsis line.
roff_text("${program}" program_roff)
set(synopsis ".nf\n")
foreach(line IN LISTS usage)
  roff_text("${line}" line)
  string(FIND "${line}" "${program_roff}" start)
  if(start EQUAL 0)
    string(LENGTH "${program_roff}" length)
    string(SUBSTRING "${line}" ${length} -1 rest)
    set(line "\\fB${program_roff}\\fR${rest}")
  endif()
  string(APPEND synopsis "${line}\n")
endforeach()
string(APPEND synopsis ".fi\n")

roff_text("${version}" version_roff)
roff_text("${summary}" summary_roff)
roff_help(description_roff description)
roff_lines(exit_status_roff exit_status)

file(WRITE "${OUTPUT}"
  ".TH ${title} 1 \"\" \"${version_roff}\" \"User Commands\"\n"
  ".SH NAME\n${program_roff} \\- ${summary_roff}\n"
  ".SH SYNOPSIS\n${synopsis}"
  ".SH DESCRIPTION\n${description_roff}"
  ".SH SUBCOMMANDS\n${sections}"
  ".SH \"EXIT STATUS\"\n${exit_status_roff}")
