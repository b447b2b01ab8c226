# Checks quorvel-cli's manual page: its sections and a subsection per subcommand;
# where groff is installed, that it formats without warnings and shows every line of
# the help it was made from. Then the generator on a made-up help holding what roff
# would take as requests and escapes.
# Usage: cmake -DPAGE=quorvel-cli.1 -DPROGRAM=quorvel-cli -DGENERATOR=make_manpage.cmake
#              -DWORK=folder -P check_manpage.cmake
cmake_minimum_required(VERSION 3.25)
find_program(GROFF groff)

# Help and formatted text with the characters CMake lists treat specially replaced,
# so that lines split at line breaks only and compare alike.
function(plain_lines text out_lines)
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "[" "<open>" text "${text}")
  string(REPLACE "]" "<close>" text "${text}")
  string(REPLACE "\\" "<backslash>" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(${out_lines} "${lines}" PARENT_SCOPE)
endfunction()

function(fail message)
  message(FATAL_ERROR "${PAGE}: ${message}")
endfunction()

# Formats page with groff, failing on any warning; the text goes to out_text.
function(format_page page out_text)
  execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -P-cbou ${page}
                  OUTPUT_VARIABLE text ERROR_VARIABLE warnings RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
    fail("groff: ${result} ${warnings}")
  endif()
  set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

# Every non-empty line of help, without its indentation, is in the formatted text.
function(expect_help_shown formatted help)
  plain_lines("${formatted}" shown)
  list(TRANSFORM shown STRIP)
  plain_lines("${help}" lines)
  list(TRANSFORM lines STRIP)
  list(REMOVE_ITEM lines "")
  foreach(line IN LISTS lines)
    list(FIND shown "${line}" index)
    if(index LESS 0)
      fail("the formatted page lacks the help line \"${line}\"")
    endif()
  endforeach()
endfunction()

# 1. The page made from quorvel-cli's help.
file(READ ${PAGE} page)
foreach(section NAME SYNOPSIS DESCRIPTION SUBCOMMANDS "\"EXIT STATUS\"")
  if(NOT page MATCHES "\n\\.SH ${section}\n")
    fail("no section ${section}")
  endif()
endforeach()
if(NOT page MATCHES "^\\.TH QUORVEL-CLI 1 ")
  fail("does not start with .TH QUORVEL-CLI 1")
endif()
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help)
string(REGEX MATCH "\nSubcommands:\n(  [^\n]*\n)+" listed "${help}")
string(REGEX MATCHALL "\n  [a-z-]+" subcommands "${listed}")
if(NOT subcommands)
  fail("no subcommands in ${PROGRAM} --help")
endif()
if(GROFF)
  format_page(${PAGE} formatted)
endif()
foreach(subcommand IN LISTS subcommands)
  string(STRIP "${subcommand}" subcommand)
  string(REPLACE "-" "\\-" heading "${subcommand}")
  if(NOT page MATCHES "\n\\.SS ${heading}\n")
    fail("no subsection for ${subcommand}")
  endif()
  if(GROFF)
    execute_process(COMMAND ${PROGRAM} ${subcommand} --help OUTPUT_VARIABLE subcommand_help)
    expect_help_shown("${formatted}" "${subcommand_help}")
  endif()
endforeach()

# 2. A made-up help: a dot or apostrophe first, backslashes, hyphens, tildes and a
# character beyond ASCII must all come out as printed.
set(PAGE ${WORK}/fake.1)
set(fake ${WORK}/fake-cli)
set(tricky ".TH not a request\n'also not\nback\\slash --option FILE~ a^b `x` ｱ\n")
file(WRITE ${WORK}/one-help.txt "${tricky}")
file(WRITE ${fake} "#!/bin/sh\n"
  "case \"$*\" in\n"
  "  --version) echo 'fake 1' ;;\n"
  "  --help) printf 'fake: a test.\\nUsage: fake X\\n\\nSubcommands:\\n  one  the one\\n\\nExit status: 0.\\n' ;;\n"
  "  'one --help') cat '${WORK}/one-help.txt' ;;\n"
  "esac\n")
file(CHMOD ${fake} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(COMMAND ${CMAKE_COMMAND} -DPROGRAM=${fake} -DOUTPUT=${PAGE}
                        -P ${GENERATOR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  fail("make_manpage.cmake failed on a made-up help")
endif()
file(READ ${PAGE} fake_page)
if(NOT fake_page MATCHES "\n\\\\&\\.TH not" OR NOT fake_page MATCHES "\\\\\\[uFF71\\]")
  fail("a leading dot or a character beyond ASCII is not escaped:\n${fake_page}")
endif()
if(GROFF)
  format_page(${PAGE} formatted)
  expect_help_shown("${formatted}" "${tricky}")
endif()
