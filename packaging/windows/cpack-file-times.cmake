# Run by cpack after it has staged the files of a package. The installer keeps
# each file's time, which would be when it was built or checked out: every
# staged file takes the sources' date instead (SOURCE_DATE_EPOCH, which
# windows.sh sets), so that the same sources give the same installer.
if(CPACK_GENERATOR STREQUAL "NSIS" AND DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND find "${CPACK_TOPLEVEL_DIRECTORY}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "could not set the staged files' times")
    endif()
endif()
