# Read by cpack once for each package it makes: what differs between the zip
# and the installer.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
    # The zip unpacks into a folder of its own; the installer copies the
    # files straight into the folder the user chose.
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
