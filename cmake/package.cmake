# The release zip: `cmake --build --preset mingw --target package` (or mingw-i686) writes
# omnitap-<version>-win64.zip (win32 for the 32-bit build) into the build folder, holding a
# folder of the same name with omnitap.exe (stripped), README.txt and LICENSE.
# scripts/check-release.sh checks what it holds.

# Unused sections of the static runtime are dropped from the exe. The code stays at -O3: -O2
# and -Os would make the hook's path measurably slower, for a size that is well within limits.
if(MINGW)
  target_link_options(omnitap PRIVATE -Wl,--gc-sections)
endif()

# Windows line ends, so that any editor shows the texts as written.
configure_file(${CMAKE_SOURCE_DIR}/docs/user-readme.txt ${CMAKE_BINARY_DIR}/release/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/release/LICENSE
               @ONLY NEWLINE_STYLE CRLF)

install(TARGETS omnitap RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/release/README.txt ${CMAKE_BINARY_DIR}/release/LICENSE
        DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(release_platform win64)
else()
  set(release_platform win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME omnitap)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME omnitap-${PROJECT_VERSION}-${release_platform})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
