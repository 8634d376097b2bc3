# Writes the notices of the third-party code compiled into the Qt DLLs and
# plugins that the Windows build ships, from the qt_attribution.json files of
# the Qt source it was built from. Run it again when the Qt build changes:
#
#   cmake -DQT_SOURCE=~/.cache/parlanta/source/qt6-base-6.4.2+dfsg-10 \
#         -DOUT=packaging/windows/licenses/Qt-third-party.txt -P packaging/windows/qt-notices.cmake
#
# The list holds what the build compiles into Qt6Core, Qt6Gui, Qt6Widgets and
# the windows, windowsvista and ico plugins (its build.ninja and config.summary
# say which bundled libraries are built). Left out on purpose: code for other
# systems (forkfd, the macOS event dispatcher, xcb, wasm, android), for modules
# not shipped (network, dbus, testlib), and for features switched off (jpeg,
# OpenGL and Vulkan headers).
cmake_minimum_required(VERSION 3.21)
if(NOT QT_SOURCE OR NOT OUT)
    message(FATAL_ERROR "usage: cmake -DQT_SOURCE=<qt6-base source> -DOUT=<file> -P qt-notices.cmake")
endif()

# folder with a qt_attribution.json : the ids used from it
set(attributions
    "src/corelib/text:unicode-character-database,unicode-cldr"
    "src/corelib/tools:siphash"
    "src/3rdparty/double-conversion:doubleconversion"
    "src/3rdparty/pcre2:pcre2,pcre2-sljit"
    "src/3rdparty/zlib:zlib"
    "src/3rdparty/easing:easing"
    "src/3rdparty/tinycbor:tinycbor"
    "src/3rdparty/md4:md4"
    "src/3rdparty/md5:md5"
    "src/3rdparty/sha1:sha1"
    "src/3rdparty/rfc6234:rfc6234"
    "src/3rdparty/sha3:sha3_endian,sha3_keccak"
    "src/3rdparty/blake2:blake2"
    "src/3rdparty/harfbuzz-ng:harfbuzz-ng"
    "src/3rdparty/freetype:freetype,freetype-zlib,freetype-bdf,freetype-pcf"
    "src/3rdparty/libpng:libpng"
    "src/3rdparty/md4c:md4c"
    "src/3rdparty/icc:icc-sRGB-color-profile"
    "src/gui/painting:grayraster,smooth-scaling-algorithm,xserverhelper"
    "src/gui/text:aglfn"
)
set(rule "================================================================================")
set(text "Third-party code in the Qt libraries shipped with Parlanta\n")
string(APPEND text "\nQt 6 bundles the code below into Qt6Core.dll, Qt6Gui.dll and the plugins.\n")
string(APPEND text "Each entry gives its copyright and the license it comes under, taken from\n")
string(APPEND text "the qt_attribution.json files of the Qt source.\n")

function(json_field out json index key)
    string(JSON value ERROR_VARIABLE err GET "${json}" ${index} "${key}")
    if(err)
        set(value "")
    endif()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

foreach(entry IN LISTS attributions)
    string(REPLACE ":" ";" entry "${entry}")
    list(GET entry 0 dir)
    list(GET entry 1 ids)
    string(REPLACE "," ";" ids "${ids}")
    file(READ "${QT_SOURCE}/${dir}/qt_attribution.json" json)
    string(JSON type TYPE "${json}")
    if(type STREQUAL "ARRAY")
        string(JSON count LENGTH "${json}")
        math(EXPR last "${count} - 1")
        set(indices)
        foreach(i RANGE ${last})
            list(APPEND indices ${i})
        endforeach()
    else()
        set(json "[${json}]")
        set(indices 0)
    endif()
    foreach(id IN LISTS ids)
        set(found FALSE)
        foreach(i IN LISTS indices)
            string(JSON this GET "${json}" ${i} Id)
            if(NOT this STREQUAL id)
                continue()
            endif()
            set(found TRUE)
            json_field(name "${json}" ${i} Name)
            json_field(version "${json}" ${i} Version)
            json_field(usage "${json}" ${i} QtUsage)
            json_field(license "${json}" ${i} License)
            json_field(copyright "${json}" ${i} Copyright)
            json_field(license_file "${json}" ${i} LicenseFile)
            string(APPEND text "\n${rule}\n${name}")
            if(version)
                string(APPEND text " ${version}")
            endif()
            string(APPEND text "\n${rule}\n${usage}\nLicense: ${license}\n\n${copyright}\n")
            if(license_file)
                # Two entries may share one license file: its text is given once.
                get_filename_component(file "${QT_SOURCE}/${dir}/${license_file}" REALPATH)
                if(file IN_LIST seen)
                    string(APPEND text "\nThe license text is given above, under ${seen_${file}}.\n")
                    continue()
                endif()
                list(APPEND seen "${file}")
                set(seen_${file} "${name}")
                file(READ "${file}" body)
                string(REPLACE "\r\n" "\n" body "${body}")
                # A byte-order mark in the middle of the file would show as junk.
                string(ASCII 239 187 191 bom)
                string(REPLACE "${bom}" "" body "${body}")
                string(STRIP "${body}" body)
                string(APPEND text "\n${body}\n")
            endif()
        endforeach()
        if(NOT found)
            message(FATAL_ERROR "no entry ${id} in ${dir}/qt_attribution.json")
        endif()
    endforeach()
endforeach()

# Windows users read these in Notepad: CR LF line ends.
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUT}" "${text}")
