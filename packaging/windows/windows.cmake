# The Windows packages: a portable zip and an installer (for the current user
# or, by an administrator, for everyone), both holding
# parlanta.exe with the DLLs it loads, the word list, and the license texts of
# everything shipped. Included from the top-level CMakeLists.txt when building
# for Windows, before CPack is set up.
set(PARLANTA_WINDOWS_DIR ${CMAKE_CURRENT_LIST_DIR})

# The program's icon, shown by Explorer, the Start menu and Add/Remove Programs.
enable_language(RC)
set(PARLANTA_ICON ${PROJECT_SOURCE_DIR}/resources/main.ico)
set(PARLANTA_MANIFEST ${PROJECT_BINARY_DIR}/parlanta.manifest)
configure_file(${PARLANTA_WINDOWS_DIR}/parlanta.manifest.in ${PARLANTA_MANIFEST} @ONLY)
configure_file(${PARLANTA_WINDOWS_DIR}/parlanta.rc.in ${PROJECT_BINARY_DIR}/parlanta.rc @ONLY)
target_sources(parlanta PRIVATE ${PROJECT_BINARY_DIR}/parlanta.rc)
# Set for the folder the target is made in (app/): seen from here only, the
# files would not make the resources be compiled again when they change.
set_property(SOURCE ${PROJECT_BINARY_DIR}/parlanta.rc TARGET_DIRECTORY parlanta
             APPEND PROPERTY OBJECT_DEPENDS ${PARLANTA_ICON} ${PARLANTA_MANIFEST})

# Qt, linked dynamically: the three libraries and the plugins Parlanta loads,
# each in the folder beside the executable where Qt looks for its kind
# (platforms, styles, imageformats: the pictures are .ico files).
set(shipped_binaries $<TARGET_FILE_NAME:parlanta>)
foreach(qt_library Qt6::Core Qt6::Gui Qt6::Widgets)
    install(FILES $<TARGET_FILE:${qt_library}> DESTINATION .)
    list(APPEND shipped_binaries $<TARGET_FILE_NAME:${qt_library}>)
endforeach()
foreach(plugin IN ITEMS platforms:QWindowsIntegrationPlugin styles:QWindowsVistaStylePlugin imageformats:QICOPlugin)
    string(REPLACE ":" ";" plugin ${plugin})
    list(GET plugin 0 folder)
    list(GET plugin 1 target)
    if(NOT TARGET Qt6::${target})
        message(FATAL_ERROR "This Qt has no ${target} (Qt6::${target}); the Windows package needs it")
    endif()
    install(FILES $<TARGET_FILE:Qt6::${target}> DESTINATION ${folder})
    list(APPEND shipped_binaries ${folder}/$<TARGET_FILE_NAME:Qt6::${target}>)
endforeach()

# The MinGW-w64 runtime DLLs, taken from the compiler that built the program.
foreach(dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    # The compiler prints the bare name when it has no such file.
    if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} has no ${dll}")
    endif()
    get_filename_component(dll_path "${dll_path}" REALPATH)
    install(FILES ${dll_path} DESTINATION . RENAME ${dll})
    list(APPEND shipped_binaries ${dll})
endforeach()
# Debian's runtime DLLs keep their debugging information (some 20 MB in
# libstdc++-6.dll alone), which is of no use to a user: the installed copies
# of the program and all shipped DLLs are stripped.
install(CODE "
    foreach(binary IN ITEMS ${shipped_binaries})
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${binary}\"
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR \"could not strip \${binary}\")
        endif()
    endforeach()
")

# Qt.txt says which Qt was built how, so a user can build it again and replace
# the DLLs as the LGPL allows. The options come from the file the Qt build
# reads and the Debian version from the script that builds it, so the note
# cannot drift from the build.
set(qt_script ${PROJECT_SOURCE_DIR}/scripts/windows-qt.sh)
file(STRINGS ${qt_script} qt_debian_version REGEX "^debian_version=")
string(REGEX REPLACE "^debian_version=" "" PARLANTA_QT_DEBIAN_VERSION "${qt_debian_version}")
set(PARLANTA_QT_VERSION ${Qt6_VERSION})
file(STRINGS ${PARLANTA_WINDOWS_DIR}/qt-options.txt qt_option_lines REGEX "^-")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${qt_script} ${PARLANTA_WINDOWS_DIR}/qt-options.txt)
list(TRANSFORM qt_option_lines PREPEND "        ")
list(JOIN qt_option_lines "\n" PARLANTA_QT_OPTIONS)
if(NOT PARLANTA_QT_DEBIAN_VERSION OR NOT PARLANTA_QT_OPTIONS)
    message(FATAL_ERROR "Qt.txt is made from the debian_version= line of ${qt_script} and the options in qt-options.txt; one is missing")
endif()
file(STRINGS ${PARLANTA_WINDOWS_DIR}/mingw-w64-x86_64.cmake toolchain_lines)
set(PARLANTA_TOOLCHAIN)
foreach(line IN LISTS toolchain_lines)
    if(line STREQUAL "")
        string(APPEND PARLANTA_TOOLCHAIN "\n")
    else()
        string(APPEND PARLANTA_TOOLCHAIN "    ${line}\n")
    endif()
endforeach()
execute_process(COMMAND dpkg-query -W -f=\${Version} g++-mingw-w64-x86-64-posix
                OUTPUT_VARIABLE PARLANTA_COMPILER_PACKAGE ERROR_QUIET)
configure_file(${PARLANTA_WINDOWS_DIR}/Qt.txt.in ${PROJECT_BINARY_DIR}/licenses/Qt.txt @ONLY NEWLINE_STYLE CRLF)
# Parlanta's own license, from the top of the source tree, with Windows line
# ends like the other texts.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/licenses/Parlanta.txt @ONLY NEWLINE_STYLE CRLF)

install(FILES
    ${PARLANTA_WINDOWS_DIR}/licenses/README.txt
    ${PROJECT_BINARY_DIR}/licenses/Parlanta.txt
    ${PARLANTA_WINDOWS_DIR}/licenses/LGPL-3.0.txt
    ${PARLANTA_WINDOWS_DIR}/licenses/GPL-3.0.txt
    ${PROJECT_BINARY_DIR}/licenses/Qt.txt
    ${PARLANTA_WINDOWS_DIR}/licenses/Qt-third-party.txt
    ${PARLANTA_WINDOWS_DIR}/licenses/GCC-runtime.txt
    ${PARLANTA_WINDOWS_DIR}/licenses/winpthreads.txt
    DESTINATION licenses)

# CPack: parlanta-2.0-win64.zip and parlanta-2.0-win64-setup.exe. The values
# reach CPack as written (the install folder holds a backslash).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_FILE_NAME "parlanta-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Parlanta")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Parlanta")
set(CPACK_NSIS_PACKAGE_NAME "Parlanta")
set(CPACK_NSIS_DISPLAY_NAME "Parlanta")
set(CPACK_NSIS_MUI_ICON ${PARLANTA_ICON})
set(CPACK_NSIS_MUI_UNIICON ${PARLANTA_ICON})
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# CPack finds our NSIS.template.in here before its own.
set(CPACK_MODULE_PATH ${PARLANTA_WINDOWS_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PARLANTA_WINDOWS_DIR}/cpack-generators.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${PARLANTA_WINDOWS_DIR}/cpack-wordlist.cmake ${PARLANTA_WINDOWS_DIR}/cpack-file-times.cmake)
