# The Debian package of the Linux programs, made by cpack in the native build:
# quorvel, quorvel-cli, the .desktop entry, the icon, the manual page and the
# documents. scripts/package runs it and zips the Windows program beside it.
include(GNUInstallDirs)

# The documents as Debian keeps them: the machine-readable copyright file (the
# project's terms, then those of the libraries compiled into quorvel-cli), the
# user's manual with the pictures it shows (named by file name, so they are found
# beside it here as in docs/), the upstream changes as changelog.gz and the
# package's own as changelog.Debian.gz.
set(quorvel_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quorvel)
install(FILES packaging/copyright DESTINATION ${quorvel_doc_dir})
install(FILES docs/manual.md docs/windows.png docs/windows-measure.png docs/linux.png
              docs/preview.png docs/measure.png
        DESTINATION ${quorvel_doc_dir})
install(FILES CHANGELOG.md DESTINATION ${quorvel_doc_dir} RENAME changelog)
install(FILES packaging/changelog.Debian DESTINATION ${quorvel_doc_dir})
install(FILES samples/sample.fnt DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel)

# Debian keeps manual pages, changelogs and longer documents gzipped; -n leaves out
# the time, so the package is the same from the same sources. Runs after the
# subfolders installed their pages (rules run in the order they were declared).
set(quorvel_gzipped
  ${CMAKE_INSTALL_MANDIR}/man1/quorvel.1 ${CMAKE_INSTALL_MANDIR}/man1/quorvel-cli.1
  ${quorvel_doc_dir}/manual.md ${quorvel_doc_dir}/changelog ${quorvel_doc_dir}/changelog.Debian)
install(CODE "set(quorvel_gzipped \"${quorvel_gzipped}\")")
install(CODE [[
  foreach(file IN LISTS quorvel_gzipped)
    set(path "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${file}")
    if(EXISTS "${path}")
      execute_process(COMMAND gzip -9nf "${path}" COMMAND_ERROR_IS_FATAL ANY)
    endif()
  endforeach()
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

# Version 1.1.0-1: the upstream version and the package's first revision of it,
# as packaging/changelog.Debian says.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # quorvel_<version>-1_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The QUORVEL developers <developers@quorvel.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps, which names the runtime packages of what
# the programs link. Without a Japanese font every label is an empty box.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-vlgothic | fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)  # Qt's own dialog texts

include(CPack)
