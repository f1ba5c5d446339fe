# The end-to-end tests: Windows-side GoogleTest programs from the mingw builds, run under Wine
# on Xvfb by scripts/wine-harness.sh. One private Wine prefix serves each build's run.
set(OMNITAP_MINGW_DIR "${CMAKE_SOURCE_DIR}/build/mingw" CACHE PATH "The mingw build tree")
set(OMNITAP_MINGW_I686_DIR "${CMAKE_SOURCE_DIR}/build/mingw-i686" CACHE PATH "The mingw-i686 build tree")
set(harness "${CMAKE_SOURCE_DIR}/scripts/wine-harness.sh")
file(GLOB e2e_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)

# Every e2e program of the build in `bin`, as tests named LABEL.<program>, in a prefix of its
# own that a fixture creates (with `environment` set) and removes.
function(omnitap_wine_tests label prefix bin environment)
  add_test(NAME ${label}.prefix.create COMMAND ${harness} create-prefix ${prefix})
  set_tests_properties(${label}.prefix.create PROPERTIES FIXTURES_SETUP ${label} LABELS ${label}
                       ENVIRONMENT "${environment}")
  add_test(NAME ${label}.prefix.remove COMMAND ${harness} remove-prefix ${prefix})
  set_tests_properties(${label}.prefix.remove PROPERTIES FIXTURES_CLEANUP ${label} LABELS ${label})
  foreach(source IN LISTS e2e_sources)
    get_filename_component(name ${source} NAME_WE)
    add_test(NAME ${label}.${name} COMMAND ${harness} run ${prefix} ${bin}/${name}.exe)
    # 77: the harness cannot run it here (a 32-bit program on a kernel without 32-bit support).
    set_tests_properties(${label}.${name} PROPERTIES FIXTURES_REQUIRED ${label} LABELS ${label}
                         TIMEOUT 600 RESOURCE_LOCK wine SKIP_RETURN_CODE 77)
  endforeach()
endfunction()

set(prefix "${CMAKE_BINARY_DIR}/wine-prefix")
omnitap_wine_tests(e2e ${prefix} ${OMNITAP_MINGW_DIR}/bin "WINEARCH=win64")
# The same programs from the 32-bit build, in a 32-bit prefix: the system the win32 zip is for,
# where the hook's, the tray's and the player's records have their 32-bit sizes and nothing
# 64-bit can stand in for the program.
omnitap_wine_tests(e2e32 "${CMAKE_BINARY_DIR}/wine-prefix32" ${OMNITAP_MINGW_I686_DIR}/bin
                   "WINEARCH=win32")

# Thirty idle seconds, measured from Linux.
add_test(NAME e2e.idle COMMAND ${harness} exec ${prefix} ${CMAKE_SOURCE_DIR}/scripts/idle-check.sh
         ${OMNITAP_MINGW_DIR}/bin/omnitap.exe 30)
set_tests_properties(e2e.idle PROPERTIES FIXTURES_REQUIRED e2e LABELS e2e TIMEOUT 180 RESOURCE_LOCK wine)

# A held volume key runs the repeat timer, and a learned key's release stops it.
add_test(NAME e2e.volume_repeat COMMAND ${harness} exec ${prefix} ${CMAKE_SOURCE_DIR}/scripts/repeat-check.sh
         ${OMNITAP_MINGW_DIR}/bin)
set_tests_properties(e2e.volume_repeat PROPERTIES FIXTURES_REQUIRED e2e LABELS e2e TIMEOUT 180 RESOURCE_LOCK wine)
