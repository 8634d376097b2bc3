# Run by cpack after it has staged the files of a package. For the installer,
# dicy.ini leaves the staged tree: the installer copies that tree over an
# existing installation and its uninstaller deletes it file by file, while the
# word list holds the words a user has added, so it must be put in place only
# where there is none and never be removed. NSIS.template.in installs the
# starter list from where this puts it.
if(CPACK_GENERATOR STREQUAL "NSIS")
    file(MAKE_DIRECTORY "${CPACK_TOPLEVEL_DIRECTORY}/wordlist")
    file(RENAME "${CPACK_TEMPORARY_DIRECTORY}/dicy.ini" "${CPACK_TOPLEVEL_DIRECTORY}/wordlist/dicy.ini")
endif()
