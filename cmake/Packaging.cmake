# Packages built by cpack from the install rules: a Debian package on Linux,
# a zip archive on Windows. scripts/package.sh builds both.
set(CPACK_PACKAGE_NAME vestiga)
set(CPACK_PACKAGE_VENDOR "Quorvane Software")
set(CPACK_PACKAGE_CONTACT "Quorvane Software <support@quorvane.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "records a file system and registry in a dump and compares two dumps")
set(CPACK_PACKAGE_DESCRIPTION [[
Vestiga records, for every directory and file below the directories it is
given, the path and last-write time in a dump file, and later compares two
dumps: every path created, deleted or modified in between. Run it before and
after installing software to see exactly what changed. On Windows it records
the registry as well.]])
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.quorvane.com/vestiga/")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  # Unpacking the zip gives vestiga.exe, README.txt and presets\ side by side.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvane Software <support@quorvane.com>")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Depends is worked out by dpkg-shlibdeps from the libraries the program links.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_GENERATOR TGZ)
endif()

include(CPack)
