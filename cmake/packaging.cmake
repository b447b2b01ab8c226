# The Debian package of the Linux programs, made by cpack in the native build:
# quorvel, quorvel-cli, the .desktop entry, the icon, the manual page and the
# documents. scripts/package runs it and zips the Windows program beside it.
include(GNUInstallDirs)

# The package's copyright file: the project's license, then the notices of the
# header-only libraries compiled into quorvel-cli, whose licenses ask binary copies
# to carry them. Debian's own copies of the notices are used, as installed with
# the headers.
set(quorvel_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quorvel)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE quorvel_copyright)
string(APPEND quorvel_copyright
  "\nquorvel-cli contains code of CLI11 and of JSON for Modern C++, compiled in from"
  "\ntheir headers. Their notices follow.\n")
foreach(notice /usr/share/doc/libcli11-dev/copyright /usr/share/doc/nlohmann-json3-dev/copyright)
  if(EXISTS ${notice})
    file(READ ${notice} notice_text)
    string(APPEND quorvel_copyright "\n${notice_text}")
  else()
    message(WARNING "${notice} is missing: the package's copyright file lacks that notice")
  endif()
endforeach()
# The FreeType License asks products that use FreeType to credit it in their
# documentation; this is the credit it suggests.
if(TARGET fontmeasure)
  string(APPEND quorvel_copyright
    "\nquorvel and quorvel-cli measure glyphs with FreeType (Debian's libfreetype6,"
    "\nunder the FreeType License): Portions of this software are copyright (C)"
    "\nThe FreeType Project (www.freetype.org). All rights reserved.\n")
endif()
file(WRITE ${PROJECT_BINARY_DIR}/copyright "${quorvel_copyright}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
install(FILES README.md LICENSE ${PROJECT_BINARY_DIR}/copyright DESTINATION ${quorvel_doc_dir})

# Debian keeps manual pages gzipped; -n leaves out the time, so the package is the
# same from the same sources. Runs after cli/ installed the page (rules run in the
# order they were declared).
install(CODE "set(page \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1/quorvel-cli.1\")")
install(CODE [[
  if(EXISTS "${page}")
    execute_process(COMMAND gzip -9nf "${page}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "The QUORVEL developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "exact editor for glyph-metrics (.fnt) files")
set(CPACK_PACKAGE_DESCRIPTION [[
QUORVEL edits the 14,632-byte glyph-metrics files of a Japanese text
renderer: the line spacing and, for every single-byte Shift-JIS code, the
width, height, spacing and Y offset of that character. It shows every value
exactly as stored and writes back only what was edited.

This package holds the editor quorvel (Qt 6) and quorvel-cli, the same core
for scripts and batch work.]])
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # quorvel_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The QUORVEL developers")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps, which names the runtime packages of what
# the programs link. Without a Japanese font every label is an empty box.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-vlgothic | fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)  # Qt's own dialog texts

include(CPack)
